#pragma once

#include "carddav/addressbook.h"
#include "core/contactentry.h"
#include "core/guard.h"

#include <span>
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

    // What the holder of the rows changes, in this order: the rows to remove, last first (so
    // that each position still holds when its turn comes); then the new cards of rows, at
    // their positions after the removals; then the new rows, appended in one batch.
    std::vector<qsizetype> rowsToRemove;
    std::vector<CardReplacement> cardsToReplace;
    std::vector<ContactEntry> rowsToAppend;
};

// Brings what changed on the server into the state, and says what it changes in the rows: a
// card nobody edited here takes the server's text (or goes when the server removed it); a new
// card is appended; a card edited here keeps its text and its old ETag, so that saving it meets
// the conflict. After a full download every row of the book is matched by href, so nothing
// comes twice.
RefreshOutcome applyRefresh(const Download& changes, std::span<const ContactEntry> rows,
                            BookState& book, Reporter& reporter);

}  // namespace pennacle
