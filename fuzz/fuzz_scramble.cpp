// Any text as the stored "Snapshot" setting, and any text scrambled and read back: the setting
// is a file the user can edit, and any folder name must survive the round trip.
#include "cards/samplefiles.h"
#include "core/scramble.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::textOf(data, size);
    const QString builtInKey = QLatin1String(pennacle::kSnapshotKey);

    // Whatever is stored unscrambles to some list of paths without failing.
    const QString list = pennacle::UnscrambleText(text, builtInKey);
    FUZZ_CHECK(!list.isNull() || text.isEmpty());

    // Every text without NUL comes back, under the built-in key and under an ASCII key taken
    // from the input's first bytes; the stored form is Latin-1 without NUL.
    if (text.contains(QChar(0)))
        return 0;
    QString key;
    for (size_t i = 0; i < size && i < 5; ++i)
        key += QChar(char16_t(1 + data[i] % 127));
    for (const QString& k : {builtInKey, key}) {
        const QString stored = pennacle::ScrambleText(text, k);
        for (const QChar c : stored)
            FUZZ_CHECK(c.unicode() >= 1 && c.unicode() <= 0xFF);
        // A lone surrogate has no UTF-8 form; it comes back as U+FFFD, as a path would.
        FUZZ_CHECK(pennacle::UnscrambleText(stored, k) == QString::fromUtf8(text.toUtf8()));
    }
    return 0;
}
