#include "core/ansiencoding.h"

#include "core/utf8.h"

#include <array>

namespace pennacle {

namespace {

// What Windows-1252 makes of the bytes 0x80 to 0x9F; the unassigned ones stand for themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Byte of a character outside Latin-1 that Windows-1252 places in 0x80-0x9F, or 0.
char windows1252Byte(char16_t c) {
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c && c > 0xFF)
            return static_cast<char>(0x80 + i);
    }
    return 0;
}

bool passesThrough(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return true;
    }
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

}  // namespace

void appendAnsi(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* bytes = out.data() + start;
    qsizetype written = 0;
    const char16_t* chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i];
        if (passesThrough(c)) {
            bytes[written++] = static_cast<char>(c);
            continue;
        }
        const char mapped = windows1252Byte(c);
        bytes[written++] = mapped != 0 ? mapped : '?';
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(chars[i + 1])) {
            ++i;
        }
    }
    out.truncate(start + written);
}

bool fitsAnsi(QStringView text) {
    const char16_t* chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i];
        // Most card text is ASCII: one comparison per character.
        if (c >= 0x80 && !passesThrough(c) && windows1252Byte(c) == 0) {
            return false;
        }
    }
    return true;
}

QByteArray encodeAnsi(QStringView text) {
    QByteArray out;
    appendAnsi(out, text);
    return out;
}

void appendDecodedAnsi(QString& out, QByteArrayView bytes) {
    const qsizetype old = out.size();
    out.resize(old + bytes.size());
    char16_t* to = reinterpret_cast<char16_t*>(out.data()) + old;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // ASCII runs are widened, not looked up.
        const qsizetype run = asciiRunEnd(in, i, n);
        for (; i < run; ++i)
            *to++ = in[i];
        if (i < n) {
            const unsigned char b = in[i++];
            *to++ = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b);
        }
    }
}

QString decodeAnsi(QByteArrayView bytes) {
    QString text;
    appendDecodedAnsi(text, bytes);
    return text;
}

}  // namespace pennacle
