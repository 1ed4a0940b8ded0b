#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pennacle {

enum class TextEncoding { Ansi, Utf16, Utf8 };

// Decides the encoding of a file from its byte-order mark.
TextEncoding DetectTextEncoding(const QString& path);
// The file's text in pieces (at most 65,536 characters each on the Ansi/Utf16 path, one
// piece on the Utf8 path; never an empty list). A file without a mark is read as UTF-8 when
// it is valid UTF-8 holding at least one non-ASCII sequence, otherwise as ANSI. Throws
// Failure when unreadable.
QStringList ReadTextFile(const QString& path);
// The file's bytes as Windows-1252 text, or "empty file".
QString ReadWholeFile(const QString& path);
QByteArray EncodeUtf8(const QString& text);
// Blanks the vCard separators in place and returns the same text.
QString& ReplaceSeparators(QString& value);

}  // namespace pennacle
