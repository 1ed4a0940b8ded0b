// Any text as a VCF file's content, every card in it loaded and rebuilt: the second rebuild
// equals the first, the first keeps every picture byte for byte and is named as import names it.
#include "cards/importer.h"
#include "cards/loader.h"
#include "cards/rebuild.h"
#include "fuzzsupport.h"
#include "vcard/base64.h"

namespace {

// The pictures of a form's photos, in order; a photo that holds no byte at all has none.
std::vector<QByteArray> picturesOf(const pennacle::CardForm& form) {
    std::vector<QByteArray> pictures;
    for (const pennacle::PhotoEntry& photo : form.photos) {
        try {
            pictures.push_back(pennacle::DecodeBase64(photo.PhotoData));
        } catch (const pennacle::Failure&) {
        }
    }
    return pictures;
}

void checkSettles(const pennacle::CardBytes& card) {
    fuzz::CountingReporter reporter;
    const QDateTime now = fuzz::fixedNow();
    const pennacle::CardForm loaded = pennacle::loadCardForm(card, reporter);
    const pennacle::CardBytes c1 = pennacle::rebuildCard(loaded, now, reporter);
    const pennacle::CardForm reloaded = pennacle::loadCardForm(c1, reporter);
    // The first rebuild pads the Base64 text and drops what no decoder reads (a lone last
    // character, a stray "="), and so a photo without a single byte; every picture stays.
    FUZZ_CHECK(picturesOf(reloaded) == picturesOf(loaded));
    // The lines no box shows are written back as they stand; the parts no box shows are
    // written as components are (a ":" as a blank), and read back the same from then on.
    const QString written = c1.text();
    for (qsizetype i = 0; i < loaded.otherLines.count(); ++i)
        FUZZ_CHECK(written.contains(loaded.otherLines.at(i)));
    const pennacle::CardBytes c2 = pennacle::rebuildCard(reloaded, now, reporter);
    const pennacle::CardBytes c3 =
        pennacle::rebuildCard(pennacle::loadCardForm(c2, reporter), now, reporter);
    FUZZ_CHECK(reporter.count == 0);
    FUZZ_CHECK(c2 == c3);
    FUZZ_CHECK(pennacle::loadCardForm(c2, reporter).otherParts == reloaded.otherParts);
    // The list names an edited card as import would.
    const std::vector<pennacle::ContactEntry> list(1);
    const std::optional<pennacle::CardReplacement> rebuilt =
        pennacle::rebuildCurrentCard(list, 0, loaded, now, reporter);
    FUZZ_CHECK(rebuilt && rebuilt->card == c1 && rebuilt->Text == pennacle::GetName(c1, reporter));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pennacle::CardBytes text = fuzz::cardOf(data, size);
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
