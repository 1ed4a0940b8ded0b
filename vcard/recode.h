#pragma once

#include "core/cardbytes.h"

#include <QByteArray>

namespace pennacle {

// Appends a card's bytes in another encoding. A raw value whose line names a character set
// (CHARSET=) is written so that the line still tells the truth: in the file's encoding under
// that encoding's name, or, when an ANSI file lacks some of its characters, as quoted-printable
// UTF-8; a value in a set that cannot be read (an unknown name, bytes that are no text in it)
// keeps its bytes and its set, as quoted-printable. Everything else is the card's text in the
// new encoding, a character that Windows-1252 lacks as "?". Returns whether every character
// was kept.
bool appendRecoded(QByteArray& out, const CardBytes& card, CardEncoding target);

// A line of an ANSI card (its text as read) as a UTF-8 card must hold it: a raw value whose
// line names a character set is read in that set and labelled UTF-8, or kept as
// quoted-printable bytes under its own set when that set cannot read it. Any other line is
// returned as it is.
QString lineForUtf8Card(QStringView ansiLine);

}  // namespace pennacle
