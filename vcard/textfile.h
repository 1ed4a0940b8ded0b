#pragma once

#include "core/cardbytes.h"
#include "core/utf8.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace pennacle {

enum class TextEncoding { Ansi, Utf16, Utf8 };

// What the head of a file says of its text: a mark (UTF-8 or UTF-16), or UTF-16 without one
// that its zero bytes show; the byte order of UTF-16, and how many bytes of mark to skip.
struct FileMark {
    enum Kind { None, Utf8, Utf16 } kind;
    QStringConverter::Encoding order;
    qint64 skip;
};
FileMark fileMarkOf(QByteArrayView head);

// Decides the encoding of a file from its byte-order mark, or from the zero bytes of UTF-16
// text without one.
TextEncoding DetectTextEncoding(const QString& path);
// The file's text in pieces (at most 65,536 characters each on the Ansi/Utf16 path, one
// piece on the Utf8 path; never an empty list). A file without a mark is read as UTF-8 when
// it is valid UTF-8 holding at least one non-ASCII sequence, otherwise as ANSI. Throws
// Failure when unreadable.
QStringList ReadTextFile(const QString& path);
// Reads a file block by block as the bytes an import holds: UTF-8 and ANSI bytes as they
// stand (the mark left out), UTF-16 converted to UTF-8. Decoded in encoding(), the bytes give
// the text that ReadTextFile gives.
class TextFileReader {
public:
    enum class Read {
        Appended,  // the next block's bytes were appended
        End,       // nothing is left
    };

    // Opens the file and reads its mark. Throws Failure when it cannot be read.
    explicit TextFileReader(const QString& path, qint64 blockSize = qint64(1) << 18);
    ~TextFileReader();

    qint64 size() const { return size_; }
    // Bytes read so far.
    qint64 position() const { return position_; }
    // The encoding of all the bytes appended so far. A file without a mark counts as UTF-8 for
    // as long as all of it so far is UTF-8, and turns ANSI for good at the first byte that
    // UTF-8 cannot hold, or at its end when it held nothing but ASCII.
    CardEncoding encoding() const { return encoding_; }
    // Appends the next block's bytes. Throws Failure when reading fails.
    Read readInto(QByteArray& bytes);
    // The line (counted from 1) of the first byte of a file with the UTF-8 mark that no UTF-8
    // text can hold, among the bytes read so far (its text shows U+FFFD there); 0 for none.
    qint64 invalidLine() const;

private:
    QFile file_;
    qint64 blockSize_;
    qint64 size_ = 0;
    qint64 position_ = 0;
    CardEncoding encoding_ = CardEncoding::Ansi;
    std::optional<QStringDecoder> utf16_;  // a UTF-16 file's text on its way to UTF-8
    bool bigEndian_ = false;
    std::optional<Utf8Validator> check_;        // while a file without a mark may still be UTF-8
    std::optional<Utf8Validator> markedCheck_;  // a file with the mark, until a bad byte
    qint64 invalidAt_ = -1;                     // where that bad byte stands in the file

    void checkMarkedText(QByteArrayView block, bool atEnd);
    QByteArray block_;
    QString text_;
    qsizetype carry_ = 0;  // UTF-16 bytes at the front of block_ not converted yet
};

// The file's bytes as Windows-1252 text, or "empty file".
QString ReadWholeFile(const QString& path);
QByteArray EncodeUtf8(const QString& text);
// Blanks the vCard separators in place and returns the same text.
QString& ReplaceSeparators(QString& value);

}  // namespace pennacle
