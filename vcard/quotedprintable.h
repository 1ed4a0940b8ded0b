#pragma once

#include <QString>

namespace pennacle {

// Decodes a quoted-printable value. Runs of "=XX" bytes are read as `charset` when it names a
// character set that Qt knows; bytes that form no character are dropped. Without a charset a
// run is read as UTF-8, or as Windows-1252 when it is no UTF-8.
QString DecodeQuotedPrintable(const QString& value, const QString& charset = QString());

// A note under the bare QUOTED-PRINTABLE mark that the 2.1 writer gives notes: "=0D=0A" is a
// line break and "=3D" an "="; any other "=" stands for itself.
QString decodeWrittenNote(QStringView note);

}  // namespace pennacle
