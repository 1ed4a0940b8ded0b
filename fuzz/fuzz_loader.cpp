// Any text as one card's text: the loader fills a form from it, and the property reader's
// shortcuts agree with a full reading of every line.
#include "cards/loader.h"
#include "cards/propertyreader.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString card = fuzz::textOf(data, size);
    fuzz::CountingReporter reporter;
    const pennacle::CardForm form = pennacle::loadCardForm(card, reporter);
    FUZZ_CHECK(reporter.count == 0);
    FUZZ_CHECK(form.Combo1.size() == form.Combo2.size());
    FUZZ_CHECK(form.Combo1Index == (form.Combo1.isEmpty() ? -1 : 0));
    FUZZ_CHECK(form.photoIndex == (form.photos.empty() ? 0 : 1));
    for (const pennacle::PhotoEntry& photo : form.photos) {
        FUZZ_CHECK(!photo.PhotoData.isEmpty());
        FUZZ_CHECK(photo.PhotoType.endsWith(u':'));
    }
    FUZZ_CHECK(pennacle::loadCardForm(card, reporter) == form);

    const pennacle::CardBytes bytes(card);
    pennacle::PropertyReader lines(bytes);
    while (lines.next()) {
        const pennacle::PropertyRow* row = lines.row();
        const bool property = pennacle::isPropertyLine(lines.text());
        FUZZ_CHECK(lines.isProperty() == property);
        FUZZ_CHECK(row == (property ? pennacle::propertyRowOf(lines.property().part()) : nullptr));
    }
    return 0;
}
