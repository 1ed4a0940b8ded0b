// Any text as a VCF file's content, every card in it loaded and rebuilt: the second rebuild
// equals the first, and the first keeps every photo.
#include "cards/importer.h"
#include "cards/loader.h"
#include "cards/rebuild.h"
#include "fuzzsupport.h"

namespace {

void checkSettles(const QString& card) {
    fuzz::CountingReporter reporter;
    const QDateTime now = fuzz::fixedNow();
    const pennacle::CardForm loaded = pennacle::loadCardForm(card, reporter);
    const QString c1 = pennacle::rebuildCard(loaded, now, reporter);
    const pennacle::CardForm reloaded = pennacle::loadCardForm(c1, reporter);
    FUZZ_CHECK(reloaded.photos.size() == loaded.photos.size());
    for (size_t i = 0; i < loaded.photos.size(); ++i) {
        FUZZ_CHECK(reloaded.photos[i].PhotoData == loaded.photos[i].PhotoData);
    }
    const QString c2 = pennacle::rebuildCard(reloaded, now, reporter);
    const QString c3 = pennacle::rebuildCard(pennacle::loadCardForm(c2, reporter), now, reporter);
    FUZZ_CHECK(reporter.count == 0);
    FUZZ_CHECK(c2 == c3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::textOf(data, size);
    fuzz::CountingReporter reporter;
    const std::vector<pennacle::ContactEntry> entries = pennacle::scanCards(text, reporter);
    for (const pennacle::ContactEntry& entry : entries) {
        checkSettles(entry.card);
    }
    // The loader also sees text that is no card at all, and nameless cards.
    if (entries.empty())
        checkSettles(text);
    return 0;
}
