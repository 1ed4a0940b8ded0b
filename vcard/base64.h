#pragma once

#include <QByteArray>
#include <QString>

namespace pennacle {

// Standard Base64 with "=" padding and no line breaks.
QByteArray encodeBase64(const QByteArray& bytes);
// Tolerant decoding: CR LF pairs and every "=" are removed, foreign characters count as 0,
// a last group of one character is ignored. Throws Failure when nothing is left to decode.
QByteArray DecodeBase64(const QString& text);
// Reads a whole picture file; throws Failure for a missing, unreadable or empty file.
QByteArray loadFileBytes(const QString& path);

}  // namespace pennacle
