#include "photos/base64.h"

#include "core/guard.h"

#include <QFile>

#include <array>

namespace pennacle {

namespace {

// 6-bit value of each alphabet character; every other character counts as 0, as "A" does.
constexpr std::array<unsigned char, 128> makeReverseTable() {
    std::array<unsigned char, 128> table{};
    constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (unsigned char v = 0; v < 64; ++v) {
        table[static_cast<unsigned char>(alphabet[v])] = v;
    }
    return table;
}

constexpr std::array<unsigned char, 128> kReverseTable = makeReverseTable();

QString emptyResult() {
    return QStringLiteral("Subscript out of range");
}

}  // namespace

QByteArray encodeBase64(const QByteArray& bytes) {
    return bytes.toBase64();
}

QByteArray DecodeBase64(const QString& text) {
    // Step 1 and the table lookup in one pass: CR LF pairs and "=" go, every other
    // character becomes its 6-bit value.
    const qsizetype length = text.size();
    const char16_t* chars = reinterpret_cast<const char16_t*>(text.constData());
    QByteArray values(length, Qt::Uninitialized);
    qsizetype n = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = chars[i];
        if (c == u'\r' && i + 1 < length && chars[i + 1] == u'\n') {
            ++i;
            continue;
        }
        if (c == u'=') {
            continue;
        }
        values[n++] = static_cast<char>(c < 128 ? kReverseTable[c] : 0);
    }

    const qsizetype groups = n / 4;
    const qsizetype rest = n % 4;
    const qsizetype size = groups * 3 + (rest == 2 ? 1 : rest == 3 ? 2 : 0);
    if (size == 0) {
        throw Failure(emptyResult());
    }
    QByteArray out(size, Qt::Uninitialized);
    const auto* v = reinterpret_cast<const unsigned char*>(values.constData());
    char* o = out.data();
    qsizetype k = 0;
    for (qsizetype g = 0; g < groups; ++g, v += 4) {
        o[k++] = static_cast<char>((v[0] << 2) | (v[1] >> 4));
        o[k++] = static_cast<char>(((v[1] & 0x0F) << 4) | (v[2] >> 2));
        o[k++] = static_cast<char>(((v[2] & 0x03) << 6) | v[3]);
    }
    if (rest >= 2) {
        o[k++] = static_cast<char>((v[0] << 2) | (v[1] >> 4));
    }
    if (rest == 3) {
        o[k++] = static_cast<char>(((v[1] & 0x0F) << 4) | (v[2] >> 2));
    }
    return out;
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
