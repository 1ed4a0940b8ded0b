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
// The parameters of a value written by appendQuotedPrintableUtf8, as phones and mail programs
// write 2.1 text outside ASCII: every reader decodes it, and the line is ASCII, which an ANSI
// file holds without loss.
inline constexpr QStringView kUtf8QuotedPrintable = u"CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE";

// Cards are written as UTF-8.

// Appends ASCII text: names and the frame.
void appendAscii(QByteArray& card, QLatin1StringView text);

// The revision stamp that ends every rebuilt card: REV with date and time as given.
void appendRevision(QByteArray& card, QStringView date, QStringView time);

// Starts a property line: its name, its parameters (each after a ";") and the ":".
void appendPropertyHead(QByteArray& card, QLatin1StringView name, QStringView parameters = {});

// Whether every character of the text is ASCII.
bool isAsciiText(QStringView text);

// Appends the value's UTF-8 bytes as quoted-printable: each byte outside ASCII and each "=" as
// "=XX", every line break (CR LF, CR or LF) as "=0D=0A", everything else as it stands, so that
// the separators and escapes of a compound value keep their meaning. Never folded: a soft line
// break is the one part of quoted-printable that readers of cards disagree on.
void appendQuotedPrintableUtf8(QByteArray& card, QStringView value);
// The same for bytes of any character set.
void appendQuotedPrintableBytes(QByteArray& card, QByteArrayView bytes);

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

// A name or address component as it stands between the separators of its line: its ";" as
// "\;", which every reader takes for a ";" inside the component, its ":" as a blank (the name
// reader cuts its value at a second ":"), and when a separator follows, a backslash at its end
// (also before blanks that the reader trims) as a blank, so that it escapes nothing.
QString escapedComponent(const QString& value, bool separatorFollows);

// The note under its QUOTED-PRINTABLE mark, as any reader of that mark decodes it: every kind
// of line break becomes "=0D=0A", so a note can never break the card's lines, and every "=" is
// "=3D", so that no "=" with two hex digits after it decodes to something else and a note
// ending in "=" does not run into the next line.
QString encodeNote(const QString& note);

// An address on a line whose property part marks it ENCODING=QUOTED-PRINTABLE (the type can)
// is read back decoded: its "=" signs are written as "=3D" so that it reads back as typed.
QString emailValue(const QString& address, QStringView propertyPart);

// A property line of a 3.0 or 4.0 card (its folds joined) as a 2.1 line that means the same:
// each TYPE=a,b parameter as the type words ;a;b, ENCODING=b as ENCODING=BASE64, and the value's
// backslash escapes decoded but for "\;", which 2.1 reads as ";" inside a component. A value
// holding escaped line breaks is written under the note's QUOTED-PRINTABLE mark, as encodeNote
// writes it, so that it stays one line. A value marked QUOTED-PRINTABLE stays as it is.
QString lineIn21(QStringView line);

}  // namespace pennacle
