// Any text as a VCF file's content: the scan, the display names, the loader and the rebuild
// must neither crash nor hang, and a rebuilt card must settle after one more round.
#include "cards/importer.h"
#include "cards/loader.h"
#include "cards/rebuild.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>

namespace {
class NullReporter : public pennacle::Reporter {
public:
    void showReport(const QString&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NullReporter reporter;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
    for (const pennacle::ContactEntry& entry : pennacle::scanCards(text, reporter)) {
        const QString c1 =
            pennacle::rebuildCard(pennacle::loadCardForm(entry.card, reporter), now, reporter);
        const QString c2 =
            pennacle::rebuildCard(pennacle::loadCardForm(c1, reporter), now, reporter);
        const QString c3 =
            pennacle::rebuildCard(pennacle::loadCardForm(c2, reporter), now, reporter);
        if (c2 != c3)
            std::abort();
    }
    // The loader also sees text that is no card at all.
    pennacle::loadCardForm(text, reporter);
    return 0;
}
