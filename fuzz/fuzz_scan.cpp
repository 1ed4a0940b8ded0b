// Any text as a VCF file's content: the scan for cards and the display name of each.
#include "cards/displayname.h"
#include "cards/importer.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::textOf(data, size);
    fuzz::CountingReporter reporter;
    qsizetype lastPosition = 0;
    const std::vector<pennacle::ContactEntry> entries =
        pennacle::scanCards(text, reporter, [&](qsizetype position, qsizetype total) {
            FUZZ_CHECK(position >= lastPosition && position <= total);
            lastPosition = position;
            return true;
        });
    for (const pennacle::ContactEntry& entry : entries) {
        FUZZ_CHECK(!entry.Text.isEmpty());
        FUZZ_CHECK(entry.card.startsWith(QLatin1String("BEGIN:VCARD"), Qt::CaseInsensitive));
        FUZZ_CHECK(entry.card.endsWith(QLatin1String("END:VCARD"), Qt::CaseInsensitive));
        FUZZ_CHECK(pennacle::GetName(entry.card, reporter) == entry.Text);
    }
    // A text that is no single card still has a name, maybe an empty one.
    pennacle::GetName(text, reporter);
    FUZZ_CHECK(reporter.count == 0);
    return 0;
}
