#include "cards/textfile.h"

#include "core/guard.h"

#include <QFile>
#include <QStringDecoder>

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
    return readPieces(file, ansiDecoder(), 0);
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
