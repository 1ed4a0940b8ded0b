#include "carddav/booksync.h"

#include "cards/cardidentity.h"
#include "cards/importer.h"

#include <algorithm>
#include <map>
#include <set>

namespace pennacle {

namespace {

bool isEditedHere(const ContactEntry& row, const BookState& book) {
    const auto known = book.cards.find(row.serverHref);
    return known == book.cards.end() || cardHash(row.card) != known->second.baseHash;
}

std::map<QString, qsizetype> rowsByHref(const ContactList& rows) {
    std::map<QString, qsizetype> found;
    for (qsizetype row = 0; row < rows.count(); ++row) {
        if (!rows.at(row).serverHref.isEmpty())
            found.emplace(rows.at(row).serverHref, row);
    }
    return found;
}

// The hrefs that the changes remove: those named, or after a full download every known card
// that did not come.
std::set<QString> removedBy(const Download& changes, const BookState& book) {
    std::set<QString> removed(changes.removed.begin(), changes.removed.end());
    if (changes.full) {
        std::set<QString> present;
        for (const ServerCard& card : changes.cards)
            present.insert(card.href);
        for (const auto& [href, known] : book.cards) {
            if (!present.count(href))
                removed.insert(href);
        }
    }
    return removed;
}

}  // namespace

std::vector<ContactEntry> takeDownload(const std::vector<ServerCard>& cards, BookState& book,
                                       Reporter& reporter) {
    std::vector<ContactEntry> entries;
    entries.reserve(cards.size());
    for (const ServerCard& card : cards) {
        std::vector<ContactEntry> scanned =
            scanCards(CardBytes(card.data, CardEncoding::Utf8), reporter);
        if (scanned.empty())
            continue;
        ContactEntry entry = std::move(scanned.front());
        entry.serverHref = card.href;
        book.cards[card.href] = {card.etag, cardHash(entry.card), isVersion40(entry.card)};
        entries.push_back(std::move(entry));
    }
    return entries;
}

RefreshOutcome applyRefresh(const Download& changes, ContactList& rows, BookState& book,
                            Reporter& reporter) {
    RefreshOutcome outcome;
    std::set<QString> removed = removedBy(changes, book);
    const std::map<QString, qsizetype> before = rowsByHref(rows);
    std::vector<qsizetype> toRemove;
    for (const QString& href : removed) {
        const auto row = before.find(href);
        if (row != before.end() && isEditedHere(rows.at(row->second), book)) {
            ++outcome.keptEdited;
            continue;
        }
        if (row != before.end())
            toRemove.push_back(row->second);
        book.cards.erase(href);
    }
    // From the end, so that the positions of the rows still to go stay right.
    std::sort(toRemove.rbegin(), toRemove.rend());
    for (const qsizetype row : toRemove)
        rows.remove(row);
    outcome.removed = qsizetype(toRemove.size());

    const std::map<QString, qsizetype> present = rowsByHref(rows);
    std::vector<ContactEntry> added;
    for (const ServerCard& card : changes.cards) {
        const auto row = present.find(card.href);
        const auto known = book.cards.find(card.href);
        if (known != book.cards.end() && known->second.etag == card.etag)
            continue;  // what the list holds already (a full download repeats everything)
        if (row != present.end() && isEditedHere(rows.at(row->second), book)) {
            ++outcome.keptEdited;
            continue;
        }
        if (row == present.end() && known != book.cards.end()) {
            // Deleted here, changed there: the next save's DELETE meets the conflict.
            ++outcome.keptEdited;
            continue;
        }
        std::vector<ContactEntry> entries = takeDownload({card}, book, reporter);
        if (entries.empty())
            continue;
        if (row != present.end()) {
            rows.setCard(row->second, entries.front().card, entries.front().Text);
            ++outcome.replaced;
        } else {
            added.push_back(std::move(entries.front()));
        }
    }
    outcome.added = qsizetype(added.size());
    if (!added.empty())
        rows.append(std::move(added));
    book.syncToken = changes.syncToken;
    return outcome;
}

}  // namespace pennacle
