// Any text as a VCF file's content: the scan for cards and the display name of each.
#include "cards/displayname.h"
#include "cards/importer.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pennacle::CardBytes text = fuzz::cardOf(data, size);
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
        const QByteArray& card = entry.card.bytes();
        FUZZ_CHECK(card.size() >= 20 && qstrnicmp(card.constData(), "BEGIN:VCARD", 11) == 0);
        FUZZ_CHECK(qstrnicmp(card.constData() + card.size() - 9, "END:VCARD", 9) == 0);
        FUZZ_CHECK(entry.card.encoding() == text.encoding());
        FUZZ_CHECK(pennacle::GetName(entry.card, reporter) == entry.Text);
    }
    // A text that is no single card still has a name, maybe an empty one.
    pennacle::GetName(text, reporter);
    FUZZ_CHECK(reporter.count == 0);
    return 0;
}
