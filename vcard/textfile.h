#pragma once

#include "core/utf8.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <array>
#include <optional>

namespace pennacle {

enum class TextEncoding { Ansi, Utf16, Utf8 };

// Decides the encoding of a file from its byte-order mark.
TextEncoding DetectTextEncoding(const QString& path);
// The file's text in pieces (at most 65,536 characters each on the Ansi/Utf16 path, one
// piece on the Utf8 path; never an empty list). A file without a mark is read as UTF-8 when
// it is valid UTF-8 holding at least one non-ASCII sequence, otherwise as ANSI. Throws
// Failure when unreadable.
QStringList ReadTextFile(const QString& path);
// Reads a file's text block by block, decoded exactly as ReadTextFile decodes the whole, so
// that neither the file's bytes nor its whole text need to be held at once.
class TextFileReader {
public:
    enum class Read {
        Appended,  // the next block's text was appended
        Restart,   // the file is not UTF-8 after all: drop all text so far, it comes again
        End,       // nothing is left
    };

    // Opens the file and reads its mark. Throws Failure when it cannot be read.
    explicit TextFileReader(const QString& path, qint64 blockSize = qint64(1) << 18);
    ~TextFileReader();

    qint64 size() const { return size_; }
    // Bytes read so far.
    qint64 position() const { return position_; }
    // Appends the next block's text to `text`. Throws Failure when reading fails.
    Read readInto(QString& text);

private:
    enum class Mode { Utf8, Utf16, Ansi, MaybeUtf8 };

    void start(Mode mode);
    void restartAsAnsi();
    qsizetype safeEnd(QByteArrayView bytes) const;
    void decodeInto(QString& text, QByteArrayView bytes);

    QFile file_;
    qint64 blockSize_;
    qint64 size_ = 0;
    qint64 position_ = 0;
    Mode mode_ = Mode::Ansi;
    QStringDecoder decoder_;
    const std::array<char16_t, 256>* ansiTable_ = nullptr;
    std::optional<Utf8Validator> check_;  // while the text may still be UTF-8
    QByteArray block_;
    qsizetype carry_ = 0;  // bytes at the front of block_ not decoded yet
};

// The file's bytes as Windows-1252 text, or "empty file".
QString ReadWholeFile(const QString& path);
QByteArray EncodeUtf8(const QString& text);
// Blanks the vCard separators in place and returns the same text.
QString& ReplaceSeparators(QString& value);

}  // namespace pennacle
