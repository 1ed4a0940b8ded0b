#include "vcard/charsets.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace pennacle {

namespace {

// Whether the name is one of the common character sets of one byte per character, whose
// decoding can be looked up byte by byte.
bool isSingleByteSet(const QString& name) {
    static const QRegularExpression singleByte(
        QStringLiteral("^(windows-?125[0-8]|cp-?125[0-8]|iso[-_]?8859-[0-9]+|koi8-[ru])$"),
        QRegularExpression::CaseInsensitiveOption);
    return singleByte.match(name).hasMatch();
}

// Names are told apart as the decoders tell them, by ASCII case only: Qt's case-insensitive
// comparison would take a Kelvin sign for a "K", which no decoder does.
bool sameIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lower(a[i].unicode()) != lower(b[i].unicode()))
            return false;
    }
    return true;
}

// Enough for the sets of any real card. A file that names more in turn has a set made for each
// line, which costs about as much as decoding a short line.
constexpr int kSetsKept = 8;

struct KeptSet {
    QString name;
    quint64 lastUse = 0;  // 0: the slot is free
    std::optional<NamedCharset> set;
};

}  // namespace

NamedCharset::NamedCharset(const QString& name) : decoder_(name.toLatin1().constData()) {
    latin1_ =
        QStringConverter::encodingForName(name.toLatin1().constData()) == QStringConverter::Latin1;
    singleByte_ = decoder_.isValid() && !latin1_ && isSingleByteSet(name);
}

const std::array<char16_t, 256>* NamedCharset::singleByteTable() {
    if (!singleByte_)
        return nullptr;
    if (!tableMade_) {
        // All bytes in one call give what each gives alone as long as each makes one
        // character, as in these sets; else byte by byte. Cheap, as a card that names many
        // sets in turn has the table made again and again.
        std::array<char, 256> bytes;
        for (size_t b = 0; b < bytes.size(); ++b)
            bytes[b] = static_cast<char>(b);
        const QString all = decoder_.decode(QByteArrayView(bytes.data(), bytes.size()));
        if (all.size() == qsizetype(table_.size())) {
            std::copy_n(all.utf16(), table_.size(), table_.begin());
        } else {
            for (size_t b = 0; b < table_.size(); ++b) {
                const QString decoded = decoder_.decode(QByteArrayView(&bytes[b], 1));
                table_[b] = decoded.size() == 1 ? decoded[0].unicode()
                                                : char16_t(QChar::ReplacementCharacter);
            }
        }
        decoder_.restart();
        tableMade_ = true;
    }
    return &table_;
}

NamedCharset& charsetNamed(const QString& name) {
    thread_local std::array<KeptSet, kSetsKept> kept;
    thread_local quint64 uses = 0;
    ++uses;
    KeptSet* leastRecent = &kept[0];
    for (KeptSet& slot : kept) {
        if (slot.lastUse != 0 && sameIgnoringAsciiCase(slot.name, name)) {
            slot.lastUse = uses;
            return *slot.set;
        }
        if (slot.lastUse < leastRecent->lastUse)
            leastRecent = &slot;
    }
    leastRecent->name = name;
    leastRecent->lastUse = uses;
    return leastRecent->set.emplace(name);
}

}  // namespace pennacle
