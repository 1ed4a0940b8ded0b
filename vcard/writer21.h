#pragma once

#include "vcard/cardlines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

namespace pennacle {

// The vCard 2.1 line encoding that the rebuild writes: CR LF line ends, values that never
// break their line, separators that cannot be mistaken for the structure, and notes under a
// bare QUOTED-PRINTABLE mark. Which properties a card holds is the caller's; this is how
// their lines are spelled.

inline constexpr QLatin1StringView kVersion21("VERSION:2.1");
inline constexpr QByteArrayView kLineEnd = "\r\n";
// The parameter that marks a note written by encodeNote.
inline constexpr QStringView kNoteEncoding = u"QUOTED-PRINTABLE";

// Cards are written as UTF-8.

// Appends ASCII text: names and the frame.
void appendAscii(QByteArray& card, QLatin1StringView text);

// The revision stamp that ends every rebuilt card: REV with date and time as given.
void appendRevision(QByteArray& card, QStringView date, QStringView time);

// Starts a property line: its name, its parameters (each after a ";") and the ":".
void appendPropertyHead(QByteArray& card, QLatin1StringView name, QStringView parameters = {});

// A one-line box never breaks the card's line: a CR or LF in it (one decoded from "=0D", say)
// is written as a blank.
QString oneLine(const QString& value);

// A name or address part: its ";" and ":" as blanks, so that it neither ends a component nor
// the name that a reader cuts at a second ":".
QString separated(const QString& value);

// A name or address component that a ";" follows: a backslash at its end, also before blanks
// that the reader trims, would make the reader take that ";" for part of the component
// ("\;"), so it becomes a blank like the separators.
QString separatedComponent(const QString& value);

// The note under its QUOTED-PRINTABLE mark, as any reader of that mark decodes it: every kind
// of line break becomes "=0D=0A", so a note can never break the card's lines, and every "=" is
// "=3D", so that no "=" with two hex digits after it decodes to something else and a note
// ending in "=" does not run into the next line.
QString encodeNote(const QString& note);

// An address on a line whose property part marks it ENCODING=QUOTED-PRINTABLE (the type can)
// is read back decoded: its "=" signs are written as "=3D" so that it reads back as typed.
QString emailValue(const QString& address, QStringView propertyPart);

}  // namespace pennacle
