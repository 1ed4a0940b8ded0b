#pragma once

// What the fuzz targets share: text from the input bytes, a reporter that counts, a fixed clock,
// a check that keeps the input when a property fails, and the settling of a rebuilt card.

#include "cards/displayname.h"
#include "cards/loader.h"
#include "cards/rebuild.h"
#include "core/cardbytes.h"
#include "core/guard.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

// Unlike assert(), active in every build; libFuzzer keeps the input that made it fire.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

namespace fuzz {

class CountingReporter : public pennacle::Reporter {
public:
    void showReport(const QString&) override { ++count; }
    int count = 0;
};

// The input as text: UTF-8, or after a leading FF FE the UTF-16LE code units that follow, lone
// surrogates included (a UTF-16 file or a JSON form can carry those, UTF-8 cannot).
inline QString textOf(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        QString text((static_cast<qsizetype>(size) - 2) / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            text[i] = QChar(char16_t(data[2 + 2 * i] | (data[3 + 2 * i] << 8)));
        }
        return text;
    }
    return QString::fromUtf8(bytes, static_cast<qsizetype>(size));
}

// The input as a card's bytes, as an import holds them: after a leading FF FE the text of
// textOf in UTF-8 (as a UTF-16 file's cards are held), otherwise the bytes as they stand,
// read as Windows-1252 when their number is odd and as UTF-8 when it is even.
inline pennacle::CardBytes cardOf(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE)
        return pennacle::CardBytes(textOf(data, size));
    return pennacle::CardBytes(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        size % 2 ? pennacle::CardEncoding::Ansi : pennacle::CardEncoding::Utf8);
}

// The picture decoders warn about every damaged input; the warnings would cost more than the
// decoding.
inline void quietPictureDecoders() {
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
}

// The input's bytes after its first, which a target reads as a choice of its own; empty when
// there are none.
inline QByteArray bytesAfterFirst(const uint8_t* data, size_t size) {
    if (size <= 1)
        return {};
    return QByteArray(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
}

inline QDateTime fixedNow() {
    return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5));
}

// The card rebuilt from `form` settles by the second rebuild, nothing is reported, and the
// list names it as import would.
inline void checkRebuildSettles(const pennacle::CardForm& form) {
    CountingReporter reporter;
    const QDateTime now = fixedNow();
    const pennacle::CardBytes c1 = pennacle::rebuildCard(form, now, reporter);
    const pennacle::CardBytes c2 =
        pennacle::rebuildCard(pennacle::loadCardForm(c1, reporter), now, reporter);
    const pennacle::CardBytes c3 =
        pennacle::rebuildCard(pennacle::loadCardForm(c2, reporter), now, reporter);
    FUZZ_CHECK(reporter.count == 0);
    FUZZ_CHECK(c2 == c3);
    // An edit shows the name that import gives its new card.
    const std::vector<pennacle::ContactEntry> list(1);
    const std::optional<pennacle::CardReplacement> rebuilt =
        pennacle::rebuildCurrentCard(list, 0, form, now, reporter);
    FUZZ_CHECK(rebuilt && rebuilt->card == c1 && rebuilt->Text == pennacle::GetName(c1, reporter));
}

}  // namespace fuzz
