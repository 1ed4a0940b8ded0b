#pragma once

#include <QByteArray>
#include <QStringView>

namespace pennacle {

// Appends the Windows-1252 bytes of `text`. A character that the code page lacks is written
// as "?" (one per character, also for a pair of surrogates). The five bytes that the code
// page leaves unassigned stand for U+0081, U+008D, U+008F, U+0090 and U+009D, as the reader
// decodes them, so an ANSI file read and saved again keeps its bytes.
void appendAnsi(QByteArray& out, QStringView text);
QByteArray encodeAnsi(QStringView text);

// True when `appendAnsi` would write every character of `text` as itself, none as "?".
bool fitsAnsi(QStringView text);

}  // namespace pennacle
