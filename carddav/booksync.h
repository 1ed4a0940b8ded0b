#pragma once

#include "carddav/addressbook.h"
#include "contacts/contactlist.h"
#include "core/guard.h"

#include <vector>

namespace pennacle {

// The rows of downloaded cards, named as an import names them, in the server's order; the
// state learns their ETags and bases. A card that holds no card is left out.
std::vector<ContactEntry> takeDownload(const std::vector<ServerCard>& cards, BookState& book,
                                       Reporter& reporter);

struct RefreshOutcome {
    qsizetype added = 0;
    qsizetype replaced = 0;
    qsizetype removed = 0;
    qsizetype keptEdited = 0;  // edited here and changed or removed there: the next save decides
};

// Brings what changed on the server into the rows: a card nobody edited here takes the
// server's text (or goes when the server removed it); a new card is appended; a card edited
// here keeps its text and its old ETag, so that saving it meets the conflict. After a full
// download every row of the book is matched by href, so nothing comes twice.
RefreshOutcome applyRefresh(const Download& changes, ContactList& rows, BookState& book,
                            Reporter& reporter);

}  // namespace pennacle
