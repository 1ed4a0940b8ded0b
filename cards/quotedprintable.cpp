#include "cards/quotedprintable.h"

#include <QByteArray>
#include <QStringDecoder>

namespace pennacle {

namespace {

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    return -1;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Strict UTF-8: a byte that does not start a well-formed sequence is dropped on its own, so
// overlong forms, encoded surrogates and code points past U+10FFFF give nothing.
void appendUtf8(QString& out, const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b0 = p[i];
        if (b0 < 0x80) {
            out.append(QChar(b0));
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            if (b0 == 0xE0) {
                low = 0xA0;
            } else if (b0 == 0xED) {
                high = 0x9F;
            }
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            if (b0 == 0xF0) {
                low = 0x90;
            } else if (b0 == 0xF4) {
                high = 0x8F;
            }
        }
        if (length == 0 || i + length > n || p[i + 1] < low || p[i + 1] > high) {
            ++i;
            continue;
        }
        bool wellFormed = true;
        for (int k = 2; k < length; ++k) {
            wellFormed = wellFormed && isContinuation(p[i + k]);
        }
        if (!wellFormed) {
            ++i;
            continue;
        }
        char32_t code = b0 & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (QChar::requiresSurrogates(code)) {
            out.append(QChar(QChar::highSurrogate(code)));
            out.append(QChar(QChar::lowSurrogate(code)));
        } else {
            out.append(QChar(char16_t(code)));
        }
        i += length;
    }
}

// Reads the escaped bytes in the named character set; UTF-8 takes the strict path.
class RunDecoder {
public:
    explicit RunDecoder(const QString& charset) {
        const QString name = charset.trimmed();
        const bool utf8 = name.isEmpty() || name.compare(u"UTF-8", Qt::CaseInsensitive) == 0 ||
                          name.compare(u"UTF8", Qt::CaseInsensitive) == 0;
        if (!utf8) {
            const QByteArray ascii = name.toLatin1();
            decoder_ = QStringDecoder(ascii.constData(), QStringConverter::Flag::Stateless);
        }
    }

    void append(QString& out, const QByteArray& bytes) {
        if (!decoder_.isValid()) {
            appendUtf8(out, bytes);
            return;
        }
        // Bytes that form no character in that set are dropped, not replaced.
        const QString decoded = decoder_.decode(bytes);
        for (const QChar c : decoded) {
            if (c != QChar::ReplacementCharacter) {
                out.append(c);
            }
        }
    }

private:
    QStringDecoder decoder_;
};

}  // namespace

QString DecodeQuotedPrintable(const QString& value, const QString& charset) {
    RunDecoder runDecoder(charset);
    QString out;
    out.reserve(value.size());
    QByteArray run;
    const qsizetype n = value.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = value[i];
        if (c == u'=') {
            const int high = i + 1 < n ? hexValue(value[i + 1]) : -1;
            const int low = i + 2 < n ? hexValue(value[i + 2]) : -1;
            if (high >= 0 && low >= 0) {
                run.append(char(high * 16 + low));
                i += 3;
                continue;
            }
            ++i;  // a stray "=" stands for nothing
            continue;
        }
        if (!run.isEmpty()) {
            runDecoder.append(out, run);
            run.clear();
        }
        // Copy the literal stretch up to the next "=" in one go.
        qsizetype next = value.indexOf(u'=', i);
        if (next < 0) {
            next = n;
        }
        out.append(QStringView(value).sliced(i, next - i));
        i = next;
    }
    if (!run.isEmpty()) {
        runDecoder.append(out, run);
    }
    return out;
}

}  // namespace pennacle
