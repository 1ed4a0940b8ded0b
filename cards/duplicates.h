#pragma once

#include "contacts/namekey.h"
#include "contacts/phonekey.h"
#include "core/contactentry.h"

#include <QByteArray>
#include <QString>

#include <span>
#include <vector>

namespace pennacle {

// Why contacts look like one person, in the order they are listed.
enum DuplicateReason : unsigned {
    SameCard = 1,   // the very same card text
    SameEmail = 2,  // an e-mail address, letter case ignored
    SamePhone = 4,  // a telephone number, however it is written
    SameName = 8,   // the name, and no address or number that says otherwise
};

// "same card, same e-mail, same phone, same name", for the reasons given.
QString duplicateReasonsText(unsigned reasons);

// Contacts that are probably one person: their rows in ascending order, and why.
struct DuplicateGroup {
    std::vector<qsizetype> rows;
    unsigned reasons = 0;
};

// What a contact is matched by.
struct DuplicateKeys {
    PersonName name;
    std::vector<QByteArray> emails;  // lower-cased
    std::vector<QByteArray> phones;  // international form
};

DuplicateKeys duplicateKeysOf(const CardBytes& card, PhoneKeys& phones);

// The groups of probable duplicates among the contacts, ordered by their first row. Contacts
// that share an e-mail address or a number are one person unless their names conflict;
// contacts that share only a name are one person unless either has an address or number that
// the other lacks (when both have some). National numbers are of `region`. Runs on every core.
std::vector<DuplicateGroup> findDuplicates(std::span<const ContactEntry> contacts,
                                           const QString& region);

}  // namespace pennacle
