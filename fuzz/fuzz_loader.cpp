// Any text as one card's text: the loader fills a form from it.
#include "cards/loader.h"
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
    return 0;
}
