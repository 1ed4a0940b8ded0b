#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace pennacle {

// Windows-1252, the ANSI code page of the files we read and write. The five bytes that it
// leaves unassigned stand for U+0081, U+008D, U+008F, U+0090 and U+009D both ways, so an ANSI
// file read and saved again keeps its bytes.

// Appends the Windows-1252 bytes of `text`. A character that the code page lacks is written
// as "?" (one per character, also for a pair of surrogates).
void appendAnsi(QByteArray& out, QStringView text);
QByteArray encodeAnsi(QStringView text);

// True when `appendAnsi` would write every character of `text` as itself, none as "?".
bool fitsAnsi(QStringView text);

// Appends the text of Windows-1252 bytes: one character for each byte.
void appendDecodedAnsi(QString& out, QByteArrayView bytes);
QString decodeAnsi(QByteArrayView bytes);

}  // namespace pennacle
