#pragma once

#include "core/cardbytes.h"

#include <QString>

#include <span>
#include <vector>

namespace pennacle {

// One contact: the name shown in the list and its complete card. The engine takes contacts as
// a plain sequence of these (std::span<const ContactEntry>), whoever holds them.
struct ContactEntry {
    QString Text;    // display name, made again whenever an edit replaces the card
    CardBytes card;  // the card ("VCF Data"), as the bytes of its file
    // Where the card lives in the server address book it came from; empty for other cards.
    // It travels with the row, so undo that takes rows out and puts them back keeps it.
    QString serverHref = {};
};

// A new card for a row, and the name it is shown by from then on (the name of the new card):
// what an engine routine that changes a card hands back to whoever holds the rows.
struct CardReplacement {
    qsizetype row = -1;
    CardBytes card;
    QString Text;
};

// The row at a 0-based position; throws std::out_of_range (which a guard reports) outside the
// rows, as the list's own access does.
const ContactEntry& entryAt(std::span<const ContactEntry> rows, qsizetype row);

// Appends rows in one batch, moving them: into no rows the batch itself, without a copy.
void appendEntries(std::vector<ContactEntry>& rows, std::vector<ContactEntry> added);

}  // namespace pennacle
