#pragma once

#include <QString>

namespace pennacle {

// Decodes a quoted-printable value. Runs of "=XX" bytes are read as UTF-8, or as `charset`
// when it names a character set that Qt knows; bytes that form no character are dropped.
QString DecodeQuotedPrintable(const QString& value, const QString& charset = QString());

}  // namespace pennacle
