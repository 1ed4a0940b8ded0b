#include "cards/textfile.h"

#include "core/guard.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace pennacle {

namespace {

constexpr qsizetype kPieceLength = 65536;
// Bytes per read on the piece path: enough for one piece of UTF-16 text.
constexpr qint64 kReadBlock = 2 * kPieceLength;

void openForReading(QFile& file) {
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(file.errorString());
    }
}

QStringDecoder ansiDecoder() {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) {
        throw Failure(QStringLiteral("The ANSI character set is not available"));
    }
    return decoder;
}

QString readUtf8Text(QFile& file) {
    const QByteArray bytes = file.readAll();
    QByteArrayView text(bytes);
    // The mark is not part of the text; a second one would be.
    if (text.startsWith("\xEF\xBB\xBF")) {
        text = text.sliced(3);
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(text);
}

// Whether the bytes are well-formed UTF-8 that holds at least one multi-byte sequence, in one
// pass that stops at the first byte no UTF-8 text can hold. Overlong forms, encoded surrogates
// and code points past U+10FFFF are not UTF-8 (Windows-1252 text with accents almost never is).
bool isNonAsciiUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    bool multiByte = false;
    qsizetype i = 0;
    while (i < n) {
        // ASCII runs eight bytes at a time.
        if (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, p + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char b0 = p[i];
        if (b0 < 0x80) {
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
            low = b0 == 0xE0 ? 0xA0 : 0x80;
            high = b0 == 0xED ? 0x9F : 0xBF;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            low = b0 == 0xF0 ? 0x90 : 0x80;
            high = b0 == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > n || p[i + 1] < low || p[i + 1] > high) {
            return false;
        }
        for (int k = 2; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

// The ANSI reading in pieces of kPieceLength characters, one byte making one character.
QStringList ansiPieces(QByteArrayView bytes) {
    QStringDecoder decoder = ansiDecoder();
    QStringList pieces;
    pieces.reserve(bytes.size() / kPieceLength + 1);
    for (qsizetype start = 0; start < bytes.size(); start += kPieceLength) {
        pieces << decoder.decode(bytes.sliced(start, std::min(kPieceLength, bytes.size() - start)));
    }
    if (pieces.isEmpty()) {
        pieces << QString();
    }
    return pieces;
}

// Decodes block by block and cuts the text into pieces of kPieceLength characters, so that
// no read holds the whole file.
QStringList readPieces(QFile& file, QStringDecoder decoder, qint64 skipBytes) {
    QStringList pieces;
    QString pending;
    file.seek(skipBytes);
    QByteArray block;
    while (!file.atEnd()) {
        block = file.read(kReadBlock);
        if (block.isEmpty()) {
            break;
        }
        pending += decoder.decode(block);
        qsizetype start = 0;
        while (pending.size() - start >= kPieceLength) {
            pieces << pending.sliced(start, kPieceLength);
            start += kPieceLength;
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty() || pieces.isEmpty()) {
        pieces << pending;
    }
    return pieces;
}

}  // namespace

TextEncoding DetectTextEncoding(const QString& path) {
    QFile file(path);
    openForReading(file);
    const qint64 length = file.size();
    unsigned char b[4] = {0, 0, 0, 0};
    const QByteArray head = file.read(4);
    for (qsizetype i = 0; i < head.size(); ++i) {
        b[i] = static_cast<unsigned char>(head[i]);
    }
    if (length >= 4 && b[0] == 0xFF && b[1] == 0xFE && b[2] == 0x00 && b[3] == 0x00) {
        return TextEncoding::Utf16;
    }
    if (length >= 4 && b[0] == 0x00 && b[1] == 0x00 && b[2] == 0xFE && b[3] == 0xFF) {
        return TextEncoding::Utf16;
    }
    if (length >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        return TextEncoding::Utf8;
    }
    if (length >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        return TextEncoding::Utf16;
    }
    if (length >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
        return TextEncoding::Utf16;
    }
    return TextEncoding::Ansi;
}

QStringList ReadTextFile(const QString& path) {
    const TextEncoding encoding = DetectTextEncoding(path);
    QFile file(path);
    openForReading(file);
    switch (encoding) {
        case TextEncoding::Utf8:
            return {readUtf8Text(file)};
        case TextEncoding::Utf16: {
            // Every mark is read as little-endian UTF-16; only a leading FF FE is a mark
            // rather than text, the others come through as the characters they decode to.
            QByteArray head = file.peek(2);
            const qint64 skip = head == QByteArrayLiteral("\xFF\xFE") ? 2 : 0;
            return readPieces(file,
                              QStringDecoder(QStringConverter::Utf16LE,
                                             QStringConverter::Flag::ConvertInitialBom),
                              skip);
        }
        case TextEncoding::Ansi:
            break;
    }
    // Without a mark, text that is valid UTF-8 and not plain ASCII is read as UTF-8, the
    // output of current phones and mail services; anything else as ANSI.
    const QByteArray bytes = file.readAll();
    if (isNonAsciiUtf8(bytes)) {
        return {QString::fromUtf8(bytes)};
    }
    return ansiPieces(bytes);
}

QString ReadWholeFile(const QString& path) {
    QFile file(path);
    openForReading(file);
    if (file.size() <= 0) {
        return QStringLiteral("empty file");
    }
    QStringDecoder decoder = ansiDecoder();
    return decoder.decode(file.readAll());
}

QByteArray EncodeUtf8(const QString& text) {
    return text.toUtf8();
}

QString& ReplaceSeparators(QString& value) {
    for (QChar& c : value) {
        if (c == u';' || c == u':') {
            c = u' ';
        }
    }
    return value;
}

}  // namespace pennacle
