#pragma once

#include "contacts/contactlist.h"
#include "core/guard.h"

#include <QString>

#include <functional>
#include <vector>

namespace pennacle {

// Told now and then how far the scan has come (a position in the text and its length).
// Returning false stops the scan.
using ScanProgress = std::function<bool(qsizetype position, qsizetype total)>;

// Cuts every "BEGIN:VCARD" ... "END:VCARD" span out of the text (markers in any case, the
// card text exactly as it stands) and names it with `GetName`; cards that hold nothing are
// left out.
// A scan stopped by `progress` returns no rows.
std::vector<ContactEntry> scanCards(const QString& text, Reporter& reporter,
                                    const ScanProgress& progress = {});

// The whole text of a VCF file, its pieces joined. Throws Failure when it cannot be read.
QString readCardFile(const QString& path);

// Appends the cards of one VCF file to the list in one batch and returns how many rows were
// added. Throws Failure when the file cannot be read (nothing is added then).
qsizetype importCardFile(const QString& path, ContactList& list, Reporter& reporter);

}  // namespace pennacle
