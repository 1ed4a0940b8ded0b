#pragma once

#include "vcard/propertyline.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace pennacle {

// What the form's boxes show of a property line. Loading fills the boxes with these texts and
// the find bar searches the very same texts, so that whatever a box shows can be found.

// A one-line box: the value trimmed, stripped of CR and decoded.
ShownText shownValue(const PropertyLine& line);

// The components of a compound value (N, ADR, ORG), split at each unescaped ";" of the value
// trimmed; the closing CR stays with the last one. An empty value has none.
QList<QStringView> componentsOf(const PropertyLine& line);

// A component as a one-line box shows it: trimmed, stripped of CR and decoded.
ShownText shownComponent(const PropertyLine& line, QStringView component);

// An e-mail address, untrimmed. Addresses are ASCII: a character set named beside them is not
// applied to the raw text.
ShownText emailAddressOf(const PropertyLine& line);

// The type of an e-mail address: the property part's first parameter, upper-cased, or "EMAIL"
// when it has none. In a 3.0 or 4.0 card its type words instead, without "TYPE=" and PREF,
// joined by "," ("INTERNET,HOME"), or "EMAIL" when it has none.
QString emailTypeOf(const PropertyLine& line);

// A telephone number, untrimmed; a 3.0 or 4.0 "tel:" address without its scheme.
ShownText phoneNumberOf(const PropertyLine& line);

// The text of an FN line as a name: decoded like the N components, trimmed.
QString formattedNameOf(const PropertyLine& line);

// A note, with CR LF line breaks and without blanks at its ends but for those that stand
// before the line's closing CR.
QString noteOf(const PropertyLine& line);

// A continuation line of a note, as the note goes on with it: trimmed, but a blank before the
// closing CR stays.
QString noteLineOf(QStringView line, bool escapes);

// A kept line (see CardForm::otherLines) as a person reads it: its property name and its value
// decoded as a one-line box shows it, cut short when long.
QString shownOtherLine(QStringView line);

}  // namespace pennacle
