#include "vcard/ansiencoding.h"

namespace pennacle {

namespace {

// Byte of a character outside Latin-1 that Windows-1252 places in 0x80-0x9F, or 0.
char windows1252Byte(char16_t c) {
    switch (c) {
        case 0x20AC:
            return '\x80';
        case 0x201A:
            return '\x82';
        case 0x0192:
            return '\x83';
        case 0x201E:
            return '\x84';
        case 0x2026:
            return '\x85';
        case 0x2020:
            return '\x86';
        case 0x2021:
            return '\x87';
        case 0x02C6:
            return '\x88';
        case 0x2030:
            return '\x89';
        case 0x0160:
            return '\x8A';
        case 0x2039:
            return '\x8B';
        case 0x0152:
            return '\x8C';
        case 0x017D:
            return '\x8E';
        case 0x2018:
            return '\x91';
        case 0x2019:
            return '\x92';
        case 0x201C:
            return '\x93';
        case 0x201D:
            return '\x94';
        case 0x2022:
            return '\x95';
        case 0x2013:
            return '\x96';
        case 0x2014:
            return '\x97';
        case 0x02DC:
            return '\x98';
        case 0x2122:
            return '\x99';
        case 0x0161:
            return '\x9A';
        case 0x203A:
            return '\x9B';
        case 0x0153:
            return '\x9C';
        case 0x017E:
            return '\x9E';
        case 0x0178:
            return '\x9F';
        default:
            return 0;
    }
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

}  // namespace pennacle
