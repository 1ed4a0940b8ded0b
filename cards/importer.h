#pragma once

#include "app/core/guard.h"
#include "contacts/contactlist.h"

#include <QString>

#include <vector>

namespace pennacle {

// Cuts every "BEGIN:VCARD" ... "END:VCARD" span out of the text (markers in any case, the
// card text exactly as it stands) and names it with `GetName`; nameless cards are left out.
std::vector<ContactEntry> scanCards(const QString& text, Reporter& reporter);

// The whole text of a VCF file, its pieces joined. Throws Failure when it cannot be read.
QString readCardFile(const QString& path);

// Appends every named card of one VCF file to the list in one batch and returns how many
// rows were added. Throws Failure when the file cannot be read (nothing is added then).
qsizetype importCardFile(const QString& path, ContactList& list, Reporter& reporter);

}  // namespace pennacle
