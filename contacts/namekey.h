#pragma once

#include <QByteArray>
#include <QStringView>

#include <vector>

namespace pennacle {

// A person's name as duplicates are told by: words folded as the find bar folds them, with the
// umlauts transcribed first ("Müller" and "Mueller" both give "mueller"), and the given name
// without middle initials.
struct PersonName {
    std::vector<QByteArray> given;   // "peter"; "mary", "ann"
    std::vector<QByteArray> family;  // "van", "mueller"

    bool isEmpty() const { return given.empty() && family.empty(); }
};

// The folded words of a text: letters and digits, split at everything else.
std::vector<QByteArray> nameWords(QStringView text);

// From the components of an N value.
PersonName personName(QStringView family, QStringView given, QStringView middle);
// From a formatted name: "Last, First Middle", or "First Middle Last" (the first word is the
// given name, the rest the family name).
PersonName personNameFromFormatted(QStringView formatted);

// Two names of different people: given names that differ, or family names of which neither
// holds the other's words ("van Müller" holds "Mueller"). A name that is missing conflicts
// with none.
bool namesConflict(const PersonName& a, const PersonName& b);

// Equal for names that read as the same person's: given name and family words, in any order
// of the family words. Empty for a name without both parts.
QByteArray sameNameKey(const PersonName& name);

}  // namespace pennacle
