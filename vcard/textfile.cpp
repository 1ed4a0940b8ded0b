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
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
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

// Windows-1252 byte by byte: what its decoder makes of each byte alone, when it is a plain
// single-byte set (it makes one character of every byte, the same in any company); none
// otherwise, and the decoder is used.
const std::array<char16_t, 256>* ansiTable() {
    static const std::optional<std::array<char16_t, 256>> table =
        []() -> std::optional<std::array<char16_t, 256>> {
        std::array<char16_t, 256> characters{};
        QByteArray all(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            all[b] = byte;
            QStringDecoder decoder = ansiDecoder();
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            if (one.size() != 1)
                return std::nullopt;
            characters[size_t(b)] = one[0].unicode();
        }
        QStringDecoder decoder = ansiDecoder();
        const QString together = decoder.decode(all);
        if (QStringView(together) != QStringView(characters.data(), qsizetype(characters.size())))
            return std::nullopt;
        return characters;
    }();
    return table ? &*table : nullptr;
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
    Mode mode = Mode::MaybeUtf8;
    if (n >= 4 && ((b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) ||
                   (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF))) {
        mode = Mode::Utf16;
        skip = b[0] == 0xFF ? 2 : 0;
    } else if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        mode = Mode::Utf8;
        skip = 3;
    } else if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        mode = Mode::Utf16;
        skip = b[0] == 0xFF ? 2 : 0;
    }
    if (!file_.seek(skip)) {
        throw Failure(file_.errorString());
    }
    position_ = skip;
    start(mode);
}

TextFileReader::~TextFileReader() = default;

void TextFileReader::start(Mode mode) {
    mode_ = mode;
    ansiTable_ = nullptr;
    check_.reset();
    switch (mode) {
        case Mode::Utf8:
            decoder_ =
                QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
            break;
        case Mode::MaybeUtf8:
            // Valid UTF-8 decodes the same whether in one piece or in blocks.
            decoder_ =
                QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
            check_.emplace();
            break;
        case Mode::Utf16:
            decoder_ = QStringDecoder(QStringConverter::Utf16LE,
                                      QStringConverter::Flag::ConvertInitialBom);
            break;
        case Mode::Ansi:
            decoder_ = ansiDecoder();
            ansiTable_ = ansiTable();
            break;
    }
}

void TextFileReader::decodeInto(QString& text, QByteArrayView bytes) {
    const qsizetype old = text.size();
    if (ansiTable_) {
        text.resize(old + bytes.size());
        char16_t* out = reinterpret_cast<char16_t*>(text.data()) + old;
        const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
        const qsizetype n = bytes.size();
        qsizetype i = 0;
        while (i < n) {
            // Windows-1252 keeps ASCII as it is: such runs are widened, not looked up.
            const qsizetype run = asciiRunEnd(in, i, n);
            for (; i < run; ++i)
                *out++ = in[i];
            if (i < n)
                *out++ = (*ansiTable_)[in[i++]];
        }
        return;
    }
    text.resize(old + decoder_.requiredSpace(bytes.size()));
    const QChar* end = decoder_.appendToBuffer(text.data() + old, bytes);
    text.truncate(end - text.constData());
}

// Where the decoder may stop within the bytes so that decoding the rest later gives what one
// call over all of them would: after an ASCII byte for UTF-8 (the decoder's handling of a
// malformed sequence depends on where its input ends), after a unit that is no high surrogate
// for UTF-16, anywhere for ANSI. 0 when there is no such place.
qsizetype TextFileReader::safeEnd(QByteArrayView bytes) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype n = bytes.size();
    switch (mode_) {
        case Mode::Ansi:
            return n;
        case Mode::Utf16:
            for (n -= n % 2; n > 0; n -= 2) {
                if ((p[n - 1] & 0xFC) != 0xD8)
                    return n;
            }
            return 0;
        case Mode::Utf8:
        case Mode::MaybeUtf8:
            while (n > 0 && p[n - 1] >= 0x80)
                --n;
            return n;
    }
    return n;
}

TextFileReader::Read TextFileReader::readInto(QString& text) {
    // The bytes kept from the last block stand at the front of the buffer.
    if (block_.size() < carry_ + blockSize_)
        block_.resize(carry_ + blockSize_);
    const qint64 got = file_.read(block_.data() + carry_, blockSize_);
    if (got < 0) {
        throw Failure(file_.errorString());
    }
    if (got == 0) {
        // A sequence cut short by the end of the file is no UTF-8; plain ASCII reads the same
        // either way.
        if (check_ && !check_->atSequenceEnd()) {
            restartAsAnsi();
            return Read::Restart;
        }
        if (carry_ == 0)
            return Read::End;
        decodeInto(text, QByteArrayView(block_.constData(), carry_));
        carry_ = 0;
        return Read::Appended;
    }
    position_ += got;
    if (check_ && !check_->feed(QByteArrayView(block_.constData() + carry_, got))) {
        restartAsAnsi();
        return Read::Restart;
    }
    const qsizetype available = carry_ + got;
    const qsizetype end = safeEnd(QByteArrayView(block_.constData(), available));
    decodeInto(text, QByteArrayView(block_.constData(), end));
    carry_ = available - end;
    std::memmove(block_.data(), block_.constData() + end, size_t(carry_));
    return Read::Appended;
}

void TextFileReader::restartAsAnsi() {
    if (!file_.seek(0)) {
        throw Failure(file_.errorString());
    }
    position_ = 0;
    carry_ = 0;
    start(Mode::Ansi);
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
