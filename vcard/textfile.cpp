#include "vcard/textfile.h"

#include "core/guard.h"
#include "core/utf8.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <optional>

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
    // Every byte counts: a sequence cut short by the end of the file shows as U+FFFD too.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    return decoder.decode(text);
}

// Whether the bytes are well-formed UTF-8 that holds at least one multi-byte sequence, in one
// pass that stops at the first byte no UTF-8 text can hold (Windows-1252 text with accents
// almost never is UTF-8).
bool isNonAsciiUtf8(QByteArrayView bytes) {
    Utf8Validator check;
    return check.feed(bytes) && check.atSequenceEnd() && check.sawMultiByte();
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

// UTF-8 has no room for half a surrogate pair: it becomes U+FFFD, as any other text that
// cannot be read. A pair cut by a block's end is never looked at here (see readInto).
void replaceLoneSurrogates(QString& text) {
    QChar* p = text.data();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (!p[i].isSurrogate())
            continue;
        if (p[i].isHighSurrogate() && i + 1 < n && p[i + 1].isLowSurrogate())
            ++i;
        else
            p[i] = QChar::ReplacementCharacter;
    }
}

}  // namespace

TextFileReader::TextFileReader(const QString& path, qint64 blockSize)
    : file_(path), blockSize_(std::max<qint64>(blockSize, 4)) {
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        throw Failure(file_.errorString());
    }
    size_ = file_.size();
    unsigned char b[4] = {0, 0, 0, 0};
    const QByteArray head = file_.read(4);
    for (qsizetype i = 0; i < head.size(); ++i) {
        b[i] = static_cast<unsigned char>(head[i]);
    }
    // The marks as DetectTextEncoding tests them; every UTF-16 or UTF-32 mark is read as
    // little-endian UTF-16, and only a leading FF FE is a mark rather than text.
    const qint64 n = head.size();
    qint64 skip = 0;
    bool utf16 = false;
    if (n >= 4 && ((b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) ||
                   (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF))) {
        utf16 = true;
        skip = b[0] == 0xFF ? 2 : 0;
    } else if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        encoding_ = CardEncoding::Utf8;
        skip = 3;
    } else if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        utf16 = true;
        skip = b[0] == 0xFF ? 2 : 0;
    } else {
        encoding_ = CardEncoding::Utf8;
        check_.emplace();
    }
    if (utf16) {
        encoding_ = CardEncoding::Utf8;
        utf16_.emplace(QStringConverter::Utf16LE, QStringConverter::Flag::ConvertInitialBom);
    }
    if (!file_.seek(skip)) {
        throw Failure(file_.errorString());
    }
    position_ = skip;
}

TextFileReader::~TextFileReader() = default;

TextFileReader::Read TextFileReader::readInto(QByteArray& bytes) {
    if (!utf16_) {
        // Bytes as they stand: straight into the caller's buffer.
        const qsizetype old = bytes.size();
        bytes.resize(old + blockSize_);
        const qint64 got = file_.read(bytes.data() + old, blockSize_);
        bytes.truncate(old + std::max<qint64>(got, 0));
        if (got < 0)
            throw Failure(file_.errorString());
        position_ += got;
        if (check_) {
            // A sequence cut short by the end of the file is no UTF-8, and plain ASCII is read
            // as ANSI.
            const bool still = got == 0 ? check_->atSequenceEnd() && check_->sawMultiByte()
                                        : check_->feed(QByteArrayView(bytes).sliced(old));
            if (!still) {
                encoding_ = CardEncoding::Ansi;
                check_.reset();
            }
        }
        return got == 0 ? Read::End : Read::Appended;
    }
    if (block_.size() < carry_ + blockSize_)
        block_.resize(carry_ + blockSize_);
    const qint64 got = file_.read(block_.data() + carry_, blockSize_);
    if (got < 0)
        throw Failure(file_.errorString());
    if (got == 0 && carry_ == 0)
        return Read::End;
    position_ += got;
    const qsizetype available = carry_ + got;
    // A pair of surrogates cut by the block's end waits for its second half; at the file's
    // end whatever is left is converted.
    qsizetype end = available - available % 2;
    if (got > 0) {
        while (end > 0 && (static_cast<unsigned char>(block_[end - 1]) & 0xFC) == 0xD8)
            end -= 2;
    } else {
        end = available;
    }
    text_.resize(0);
    text_.resize(utf16_->requiredSpace(end));
    const QChar* last = utf16_->appendToBuffer(text_.data(), QByteArrayView(block_).first(end));
    text_.truncate(last - text_.constData());
    replaceLoneSurrogates(text_);
    appendUtf8(bytes, text_);
    carry_ = available - end;
    std::memmove(block_.data(), block_.constData() + end, size_t(carry_));
    return Read::Appended;
}

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
