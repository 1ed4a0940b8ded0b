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

// How many bytes of a file's head tell UTF-16 by its zero bytes.
constexpr qint64 kSampleSize = 4096;

// The byte order that the zero bytes of UTF-16 text show: a vCard is mostly ASCII, whose
// characters have their zero in the high byte. None unless every zero of the sample stands
// on one side and at least a quarter of its characters have one (text that is no UTF-16 holds
// hardly any zero bytes).
std::optional<QStringConverter::Encoding> utf16OrderOf(QByteArrayView sample) {
    qsizetype even = 0;
    qsizetype odd = 0;
    const qsizetype pairs = sample.size() / 2;
    for (qsizetype i = 0; i < pairs * 2; i += 2) {
        even += sample[i] == 0;
        odd += sample[i + 1] == 0;
    }
    if (pairs == 0 || (even > 0) == (odd > 0) || 4 * (even + odd) < pairs)
        return std::nullopt;
    return odd > 0 ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

}  // namespace

FileMark fileMarkOf(QByteArrayView head) {
    const auto b = [&](qsizetype i) {
        return i < head.size() ? static_cast<unsigned char>(head[i]) : 0;
    };
    const qsizetype n = head.size();
    // Every UTF-32 mark and FF FE read as little-endian UTF-16 (only a leading FF FE is a mark
    // rather than text); FE FF is the big-endian mark, unless the text after it shows by its
    // zero bytes that it is little-endian after all.
    if (n >= 4 && b(0) == 0xFF && b(1) == 0xFE && b(2) == 0 && b(3) == 0)
        return {FileMark::Utf16, QStringConverter::Utf16LE, 2};
    if (n >= 4 && b(0) == 0 && b(1) == 0 && b(2) == 0xFE && b(3) == 0xFF)
        return {FileMark::Utf16, QStringConverter::Utf16LE, 0};
    if (n >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF)
        return {FileMark::Utf8, QStringConverter::Utf8, 3};
    if (n >= 2 && b(0) == 0xFF && b(1) == 0xFE)
        return {FileMark::Utf16, QStringConverter::Utf16LE, 2};
    if (n >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
        if (utf16OrderOf(head.sliced(2)) == QStringConverter::Utf16LE)
            return {FileMark::Utf16, QStringConverter::Utf16LE, 0};
        return {FileMark::Utf16, QStringConverter::Utf16BE, 2};
    }
    if (const auto order = utf16OrderOf(head))
        return {FileMark::Utf16, *order, 0};
    return {FileMark::None, QStringConverter::Utf8, 0};
}

TextFileReader::TextFileReader(const QString& path, qint64 blockSize)
    : file_(path), blockSize_(std::max<qint64>(blockSize, 4)) {
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        throw Failure(file_.errorString());
    }
    size_ = file_.size();
    const FileMark mark = fileMarkOf(file_.read(kSampleSize));
    const qint64 skip = mark.skip;
    encoding_ = CardEncoding::Utf8;
    if (mark.kind == FileMark::None)
        check_.emplace();
    if (mark.kind == FileMark::Utf8)
        markedCheck_.emplace();
    if (mark.kind == FileMark::Utf16) {
        utf16_.emplace(mark.order, QStringConverter::Flag::ConvertInitialBom);
        bigEndian_ = mark.order == QStringConverter::Utf16BE;
    }
    if (!file_.seek(skip)) {
        throw Failure(file_.errorString());
    }
    position_ = skip;
}

TextFileReader::~TextFileReader() = default;

void TextFileReader::checkMarkedText(QByteArrayView block, bool atEnd) {
    if (atEnd) {
        if (!markedCheck_->atSequenceEnd())
            invalidAt_ = position_;
        markedCheck_.reset();
        return;
    }
    const Utf8Validator before = *markedCheck_;
    if (markedCheck_->feed(block))
        return;
    // Found again byte by byte, once: where in the block the first bad byte stands.
    Utf8Validator again = before;
    qsizetype at = 0;
    while (at < block.size() && again.feed(block.sliced(at, 1)))
        ++at;
    invalidAt_ = position_ - block.size() + at;
    markedCheck_.reset();
}

qint64 TextFileReader::invalidLine() const {
    if (invalidAt_ < 0)
        return 0;
    QFile file(file_.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qint64 line = 1;
    qint64 left = invalidAt_;
    while (left > 0) {
        const QByteArray block = file.read(std::min<qint64>(left, qint64(1) << 20));
        if (block.isEmpty())
            break;
        line += block.count('\n');
        left -= block.size();
    }
    return line;
}

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
        if (markedCheck_)
            checkMarkedText(QByteArrayView(bytes).sliced(old), got == 0);
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
        const qsizetype high = bigEndian_ ? 2 : 1;  // of a unit, counted from its end
        while (end > 0 && (static_cast<unsigned char>(block_[end - high]) & 0xFC) == 0xD8)
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
    switch (fileMarkOf(file.read(kSampleSize)).kind) {
        case FileMark::Utf16:
            return TextEncoding::Utf16;
        case FileMark::Utf8:
            return TextEncoding::Utf8;
        case FileMark::None:
            break;
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
            const FileMark mark = fileMarkOf(file.peek(kSampleSize));
            return readPieces(file,
                              QStringDecoder(mark.order, QStringConverter::Flag::ConvertInitialBom),
                              mark.skip);
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
