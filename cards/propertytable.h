#pragma once

#include "cards/cardform.h"
#include "vcard/cardlines.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace pennacle {

// What loading does with a property line.
enum class Rule {
    None,  // a property the form has no box for
    FormattedName,
    Name,
    Company,
    Birthday,
    Title,
    Email,
    Url,
    Note,
    Address,
    Telephone,
    Photo,
    Revision,  // written anew by every rebuild
};

// How a row recognises a line by its property part (group dropped, any case): the part before
// its first ";" (Key), the whole part (Name), or any piece of it (Contains).
enum class Test { Key, Name, Contains };

// What the find bar searches of a property.
enum class Search {
    None,
    Text,          // the value as a one-line box shows it
    Email,         // the address
    Words,         // a compound value's components, as words
    TextAndWords,  // both
    Phone,         // the number, and its digits alone
    Note,          // the note with its continuation lines
};

// Where a card without a name in N takes its shown name from, first rank first.
enum class NameFallback { None, FormattedName, Company, Email, Phone };

// How a value is built: one text, components split at ";" (each a list in 3.0/4.0), or a list
// split at ",". Converting between versions escapes each piece and keeps the separators.
enum class ValueShape { Text, Compound, List };

struct PropertyRow {
    QLatin1StringView name;
    Test test;
    Rule rule;
    int loaderStep;  // the line that loading reports a failure of the rule under
    Search search;
    NameFallback fallback;
    ValueShape shape = ValueShape::Text;
};

// The properties that the program knows, in the order their tests are tried: the first row
// whose test passes decides (any N before a photo, say).
inline constexpr std::array<PropertyRow, 18> kProperties = {{
    {QLatin1StringView("FN"), Test::Key, Rule::FormattedName, 106, Search::Text,
     NameFallback::FormattedName},
    {QLatin1StringView("N"), Test::Key, Rule::Name, 108, Search::Words, NameFallback::None,
     ValueShape::Compound},
    {QLatin1StringView("ORG"), Test::Key, Rule::Company, 110, Search::TextAndWords,
     NameFallback::Company, ValueShape::Compound},
    {QLatin1StringView("BDAY"), Test::Key, Rule::Birthday, 112, Search::None, NameFallback::None},
    {QLatin1StringView("NICKNAME"), Test::Name, Rule::None, 0, Search::None, NameFallback::None,
     ValueShape::List},
    {QLatin1StringView("TITLE"), Test::Key, Rule::Title, 114, Search::None, NameFallback::None},
    {QLatin1StringView("ROLE"), Test::Name, Rule::None, 0, Search::None, NameFallback::None},
    {QLatin1StringView("EMAIL"), Test::Key, Rule::Email, 116, Search::Email, NameFallback::Email},
    {QLatin1StringView("URL"), Test::Key, Rule::Url, 118, Search::None, NameFallback::None},
    {QLatin1StringView("NOTE"), Test::Key, Rule::Note, 120, Search::Note, NameFallback::None},
    {QLatin1StringView("ADR"), Test::Key, Rule::Address, 122, Search::None, NameFallback::None,
     ValueShape::Compound},
    {QLatin1StringView("TEL"), Test::Key, Rule::Telephone, 124, Search::Phone, NameFallback::Phone},
    {QLatin1StringView("PHOTO"), Test::Contains, Rule::Photo, 126, Search::None,
     NameFallback::None},
    {QLatin1StringView("X-MS-CARDPICTURE"), Test::Contains, Rule::Photo, 126, Search::None,
     NameFallback::None},
    {QLatin1StringView("REV"), Test::Key, Rule::Revision, 0, Search::None, NameFallback::None},
    // Properties that the form has no box for, listed for the shape of their values.
    {QLatin1StringView("CATEGORIES"), Test::Name, Rule::None, 0, Search::None, NameFallback::None,
     ValueShape::List},
    {QLatin1StringView("GENDER"), Test::Name, Rule::None, 0, Search::None, NameFallback::None,
     ValueShape::Compound},
    {QLatin1StringView("CLIENTPIDMAP"), Test::Name, Rule::None, 0, Search::None, NameFallback::None,
     ValueShape::Compound},
}};

// The property that names a card for good: no box shows it, address book servers require it
// (a card's identity there, and two of them in one card would make two contacts).
inline constexpr QLatin1StringView kUidProperty("UID");
// The frame line that closes a card, by its key.
inline constexpr QLatin1StringView kEndProperty("END");

// The first row whose test the property part passes; none for a property the program does
// not know. A part is judged as a photo line writes it (line breaks as blanks, no blanks or
// tabs before the name), so that a photo reads back as a photo and nothing else does.
const PropertyRow* propertyRowOf(QStringView propertyPart);

// propertyRowOf for a property part read off a first physical line as bytes, without
// decoding: its plain key, the part from the key on (group dropped) and whether parameters
// follow the key. The key must not start with a tab nor hold a CR, and the part must hold no
// line break: then propertyRowOf reads the part's tests as they stand.
const PropertyRow* propertyRowOfPlainPart(QByteArrayView key, QByteArrayView partWithoutGroup,
                                          bool hasParameters);

// The name of the first row with that rule: what the rebuild writes for it.
QLatin1StringView propertyName(Rule rule);

// The row of a property known by its key alone (the part before ";", group dropped, trimmed),
// for readers that look only at keys; none when no Key row has that name.
const PropertyRow* propertyRowOfKey(QStringView key);
const PropertyRow* propertyRowOfKey(QByteArrayView key);

// The shape of the values of a property known by its name (group dropped, any case). A
// property the table does not list may hold any structure: Compound keeps its separators.
ValueShape valueShapeOf(QStringView name);

// The telephone kind that a TEL line's property part names.
PhoneKind phoneKindOf(QStringView propertyPart);

// Whether a property part (group dropped) names a photo: "PHOTO" or "X-MS-CARDPICTURE", any case.
bool isPhotoProperty(QStringView propertyPart);

// The line walker as cards are read: photo values hold Base64 data.
class CardLineWalker : public LineWalker {
public:
    explicit CardLineWalker(const CardBytes& card) : LineWalker(card, &isPhotoProperty) {}
    explicit CardLineWalker(CardBytes&&) = delete;
};

// The logical lines of a card, photo values read as Base64 data.
std::vector<CardLine> splitCardLines(const CardBytes& card);

}  // namespace pennacle
