#include "contacts/searchfold.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace pennacle {

namespace {

// Letters whose base letter is not a decomposition: spelled as people type them without the
// mark. Keys are case-folded.
constexpr struct {
    char16_t letter;
    const char* spelled;
} kSpelledOut[] = {
    {u'\u00DF', "ss"},  // ß
    {u'\u00E6', "ae"},  // æ
    {u'\u00F0', "d"},   // ð
    {u'\u00F8', "o"},   // ø
    {u'\u00FE', "th"},  // þ
    {u'\u0111', "d"},   // đ
    {u'\u0131', "i"},   // dotless i
    {u'\u0142', "l"},   // ł
    {u'\u0153', "oe"},  // œ
};

bool isMark(QChar c) {
    const QChar::Category category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

void appendUtf8(QByteArray& out, char16_t code) {
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

// A case-folded character without marks: spelled out, or as it is.
void appendBaseLetter(QByteArray& out, QChar c) {
    for (const auto& special : kSpelledOut) {
        if (c == QChar(special.letter)) {
            out.append(special.spelled);
            return;
        }
    }
    if (c.unicode() < 0x20)
        out.append(' ');
    else if (!c.isSurrogate())
        appendUtf8(out, c.unicode());
}

// The folded UTF-8 form of one UTF-16 unit outside the surrogates.
QByteArray foldOne(char16_t unit) {
    QByteArray out;
    if (unit < 0x20 || unit == 0x7F) {
        out.append(' ');
        return out;
    }
    if (unit < 0x80) {
        out.append(char(unit >= u'A' && unit <= u'Z' ? unit + 32 : unit));
        return out;
    }
    const QChar folded = QChar(unit).toCaseFolded();
    if (QChar::decompositionTag(unit) == QChar::NoDecomposition &&
        folded.decompositionTag() == QChar::NoDecomposition) {
        if (!isMark(folded))
            appendBaseLetter(out, folded);
        return out;
    }
    const QString parts = QString(folded).normalized(QString::NormalizationForm_KD);
    for (const QChar part : parts) {
        if (!isMark(part))
            appendBaseLetter(out, part.toCaseFolded());
    }
    return out;
}

// Every UTF-16 unit folded once, so folding a text is one look-up per character. Most forms
// fit in place; the few long compatibility forms (ligatures of whole words) stand aside.
class FoldTable {
public:
    FoldTable() {
        for (char32_t unit = 0; unit < 0x10000; ++unit) {
            if (QChar::isSurrogate(unit))
                continue;
            const QByteArray folded = foldOne(char16_t(unit));
            Entry& entry = entries_[unit];
            if (folded.size() <= qsizetype(sizeof entry.bytes)) {
                entry.size = std::uint8_t(folded.size());
                std::copy(folded.begin(), folded.end(), entry.bytes);
            } else {
                entry.size = kLong;
                long_.insert(char16_t(unit), folded);
            }
        }
    }

    // Writes the folded form at `to` when it is short, returning the end; null for a long one.
    char* write(char* to, char16_t unit) const {
        const Entry& entry = entries_[unit];
        if (entry.size == kLong)
            return nullptr;
        std::memcpy(to, entry.bytes, sizeof entry.bytes);
        return to + entry.size;
    }
    const QByteArray& longForm(char16_t unit) const { return long_.find(unit).value(); }
    static constexpr qsizetype kMostBytes = 7;

private:
    static constexpr std::uint8_t kLong = 0xFF;
    struct Entry {
        std::uint8_t size = 0;
        char bytes[kMostBytes] = {};
    };
    std::array<Entry, 0x10000> entries_{};
    QHash<char16_t, QByteArray> long_;
};

const FoldTable& foldTable() {
    static const auto table = std::make_unique<FoldTable>();
    return *table;
}

}  // namespace

void appendFolded(QByteArray& out, QStringView text) {
    const FoldTable& table = foldTable();
    // Written in place, with room for the longest short form of every character; the rare
    // long form grows the room first.
    qsizetype used = out.size();
    out.resize(used + text.size() + FoldTable::kMostBytes + 1);
    char* to = out.data() + used;
    char* end = out.data() + out.size();
    const auto makeRoom = [&](qsizetype bytes) {
        used = to - out.constData();
        if (end - to >= bytes)
            return;
        out.resize(std::max(out.size() * 2, used + bytes));
        to = out.data() + used;
        end = out.data() + out.size();
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        makeRoom(FoldTable::kMostBytes + 1);
        const char16_t unit = text[i].unicode();
        if (unit < 0x80 && unit >= 0x20 && (unit < u'A' || unit > u'Z') && unit != 0x7F) {
            *to++ = char(unit);
        } else if (!QChar::isSurrogate(unit)) {
            if (char* next = table.write(to, unit)) {
                to = next;
            } else {
                const QByteArray& form = table.longForm(unit);
                makeRoom(form.size());
                to = std::copy(form.begin(), form.end(), to);
            }
        } else if (QChar::isHighSurrogate(unit) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            // Beyond the first plane the text is kept as it is.
            const QByteArray utf8 = QStringView(text).sliced(i, 2).toUtf8();
            to = std::copy(utf8.begin(), utf8.end(), to);
            ++i;
        }
    }
    out.resize(to - out.constData());
}

QByteArray foldForSearch(QStringView text) {
    QByteArray out;
    appendFolded(out, text);
    return out;
}

}  // namespace pennacle
