#include "vcard/base64.h"

#include "core/guard.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdint>

namespace pennacle {

namespace {

// Marks in the table for the two characters that are not simply a 6-bit value.
constexpr unsigned char kDropped = 0x40;   // "=", removed wherever it stands
constexpr unsigned char kCarriage = 0x80;  // CR, removed together with an LF after it

// 6-bit value of each alphabet character; every other character counts as 0, as "A" does.
constexpr std::array<unsigned char, 128> makeReverseTable() {
    std::array<unsigned char, 128> table{};
    constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (unsigned char v = 0; v < 64; ++v) {
        table[static_cast<unsigned char>(alphabet[v])] = v;
    }
    table['='] = kDropped;
    table['\r'] = kCarriage;
    return table;
}

constexpr std::array<unsigned char, 128> kReverseTable = makeReverseTable();

// For a character at place k (0 to 3) of a group: its value's share of the group's three
// bytes, laid out as the low three bytes of a little-endian word; kNotAValue for "=" and CR.
constexpr std::uint32_t kNotAValue = 0x80000000u;
using ShareTable = std::array<std::uint32_t, 256>;
constexpr ShareTable makeShareTable(int place) {
    ShareTable table{};
    for (unsigned c = 0; c < 256; ++c) {
        const std::uint32_t v = c < 128 ? kReverseTable[c] : 0;
        if (v & (kDropped | kCarriage)) {
            table[c] = kNotAValue;
            continue;
        }
        switch (place) {
            case 0:
                table[c] = v << 2;
                break;
            case 1:
                table[c] = (v >> 4) | ((v & 0x0F) << 12);
                break;
            case 2:
                table[c] = ((v >> 2) << 8) | ((v & 0x03) << 22);
                break;
            default:
                table[c] = v << 16;
        }
    }
    return table;
}

constexpr std::array<ShareTable, 4> kShares = {makeShareTable(0), makeShareTable(1),
                                               makeShareTable(2), makeShareTable(3)};

QString emptyResult() {
    return QStringLiteral("Subscript out of range");
}

bool isBase64Alphabet(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'+' || c == u'/';
}

}  // namespace

QByteArray encodeBase64(const QByteArray& bytes) {
    return bytes.toBase64();
}

QByteArray DecodeBase64(const QString& text) {
    // One pass: the removals of CR LF pairs and "=" and the table lookup happen as the
    // characters come, and the 6-bit values collect in `pending` until they make bytes.
    const qsizetype n = text.size();
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    // The removals only shorten it; one byte more for the four-byte stores.
    QByteArray out(n / 4 * 3 + 3, Qt::Uninitialized);
    auto* const begin = reinterpret_cast<unsigned char*>(out.data());
    unsigned char* o = begin;
    std::uint32_t pending = 0;  // the values not yet written, 6 bits each
    int count = 0;              // how many values `pending` holds, 0 to 3
    qsizetype i = 0;
    while (i < n) {
        // The run of every Base64 text: whole groups of four characters below U+0100 that
        // are all values, each group one table look-up per character and one store.
        while (count == 0 && i + 4 <= n && (p[i] | p[i + 1] | p[i + 2] | p[i + 3]) < 256) {
            const std::uint32_t word = kShares[0][p[i]] | kShares[1][p[i + 1]] |
                                       kShares[2][p[i + 2]] | kShares[3][p[i + 3]];
            if (word & kNotAValue) {
                break;
            }
            qToUnaligned(qToLittleEndian(word), o);  // the fourth byte is overwritten next
            o += 3;
            i += 4;
        }
        if (i >= n) {
            break;
        }
        // Four ASCII characters that are all values, after a removal that left the groups
        // out of step.
        if (i + 4 <= n && (p[i] | p[i + 1] | p[i + 2] | p[i + 3]) < 128) {
            const unsigned v0 = kReverseTable[p[i]];
            const unsigned v1 = kReverseTable[p[i + 1]];
            const unsigned v2 = kReverseTable[p[i + 2]];
            const unsigned v3 = kReverseTable[p[i + 3]];
            if (((v0 | v1 | v2 | v3) & (kDropped | kCarriage)) == 0) {
                const int keep = 6 * count;
                const std::uint64_t all =
                    (std::uint64_t(pending) << 24) | (v0 << 18) | (v1 << 12) | (v2 << 6) | v3;
                const auto bytes = std::uint32_t(all >> keep);
                o[0] = static_cast<unsigned char>(bytes >> 16);
                o[1] = static_cast<unsigned char>(bytes >> 8);
                o[2] = static_cast<unsigned char>(bytes);
                o += 3;
                pending = std::uint32_t(all & ((std::uint64_t(1) << keep) - 1));
                i += 4;
                continue;
            }
        }
        const char16_t c = p[i++];
        unsigned value = 0;  // a character outside ASCII counts as "A"
        if (c < 128) {
            value = kReverseTable[c];
            if (value == kDropped) {
                continue;
            }
            if (value == kCarriage) {
                if (i < n && p[i] == u'\n') {
                    ++i;
                    continue;
                }
                value = 0;  // a lone CR counts as "A"
            }
        }
        pending = (pending << 6) | value;
        if (++count == 4) {
            o[0] = static_cast<unsigned char>(pending >> 16);
            o[1] = static_cast<unsigned char>(pending >> 8);
            o[2] = static_cast<unsigned char>(pending);
            o += 3;
            pending = 0;
            count = 0;
        }
    }
    // A last group of two values gives one byte, of three values two; of one value none.
    if (count == 2) {
        *o++ = static_cast<unsigned char>(pending >> 4);
    } else if (count == 3) {
        *o++ = static_cast<unsigned char>(pending >> 10);
        *o++ = static_cast<unsigned char>(pending >> 2);
    }
    const qsizetype size = o - begin;
    if (size == 0) {
        throw Failure(emptyResult());
    }
    out.truncate(size);
    return out;
}

bool isBase64Text(QStringView data) {
    return std::all_of(data.begin(), data.end(),
                       [](QChar c) { return c == u'=' || isBase64Alphabet(c); });
}

QString paddedBase64(const QString& data) {
    const auto isAlphabet = isBase64Alphabet;
    qsizetype equals = 0;
    bool innerEquals = false;
    for (const QChar c : data) {
        if (c == u'=') {
            ++equals;
        } else if (!isAlphabet(c)) {
            return data;  // no Base64 text (a URI, say): not touched
        } else if (equals > 0) {
            innerEquals = true;
        }
    }
    const qsizetype content = data.size() - equals;
    const qsizetype kept = content % 4 == 1 ? content - 1 : content;
    const qsizetype padding = (4 - kept % 4) % 4;
    if (!innerEquals && kept == content && equals == padding)
        return data;  // already valid: shared, not copied
    QString padded;
    padded.reserve(kept + padding);
    if (!innerEquals) {
        padded.append(QStringView(data).first(kept));
    } else {
        for (const QChar c : data) {
            if (c != u'=' && padded.size() < kept)
                padded.append(c);
        }
    }
    padded.append(QString(padding, u'='));
    return padded;
}

QByteArray loadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(file.errorString());
    }
    if (file.size() <= 0) {
        throw Failure(emptyResult());
    }
    return file.readAll();
}

}  // namespace pennacle
