#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace pennacle {

// Standard Base64 with "=" padding and no line breaks.
QByteArray encodeBase64(const QByteArray& bytes);
// Tolerant decoding: CR LF pairs and every "=" are removed, foreign characters count as 0,
// a last group of one character is ignored. Throws Failure when nothing is left to decode.
QByteArray DecodeBase64(const QString& text);
// The Base64 text as strict readers take it: the characters that decoding uses, in groups of
// four with "=" padding. Every "=" is dropped and the padding made anew; a last group of a single
// character, which decoding ignores, is dropped. A text with other characters (a URI, say) stays
// as it is.
QString paddedBase64(const QString& data);
// Whether the text holds Base64 characters and "=" only, rather than something else (a URI).
bool isBase64Text(QStringView data);
// Reads a whole picture file; throws Failure for a missing, unreadable or empty file.
QByteArray loadFileBytes(const QString& path);

}  // namespace pennacle
