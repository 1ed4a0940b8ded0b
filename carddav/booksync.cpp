#include "carddav/booksync.h"

#include "cards/cardidentity.h"
#include "cards/importer.h"

#include <algorithm>
#include <map>
#include <set>

namespace pennacle {

namespace {

bool isEditedHere(const QString& href, const CardBytes& card, const BookState& book) {
    const auto known = book.cards.find(href);
    return known == book.cards.end() || cardHash(card) != known->second.baseHash;
}

// The rows that hold a server card, by href (the first of copies), leaving out the rows in
// `gone` (ascending).
std::map<QString, qsizetype> rowsByHref(std::span<const ContactEntry> rows,
                                        const std::vector<qsizetype>& gone = {}) {
    std::map<QString, qsizetype> found;
    for (qsizetype row = 0; row < qsizetype(rows.size()); ++row) {
        const QString& href = rows[size_t(row)].serverHref;
        if (!href.isEmpty() && !std::binary_search(gone.begin(), gone.end(), row))
            found.emplace(href, row);
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

// The rows that the changes remove (ascending) and the known cards that go with them; a card
// edited here stays.
std::vector<qsizetype> takeRemovals(const Download& changes, std::span<const ContactEntry> rows,
                                    BookState& book, RefreshOutcome& outcome) {
    const std::map<QString, qsizetype> before = rowsByHref(rows);
    std::vector<qsizetype> gone;
    for (const QString& href : removedBy(changes, book)) {
        const auto row = before.find(href);
        if (row != before.end() && isEditedHere(href, rows[size_t(row->second)].card, book)) {
            ++outcome.keptEdited;
            continue;
        }
        if (row != before.end())
            gone.push_back(row->second);
        book.cards.erase(href);
    }
    std::sort(gone.begin(), gone.end());
    return gone;
}

// The rows as they stand once the removals are made and the new cards given so far are
// stored: what a later card of the same download is compared with.
class RowsAfterRemovals {
public:
    RowsAfterRemovals(std::span<const ContactEntry> rows, std::vector<qsizetype> gone,
                      std::vector<CardReplacement>& replaced)
        : rows_(rows), gone_(std::move(gone)), replaced_(replaced) {}

    const std::vector<qsizetype>& gone() const { return gone_; }

    // The card of a row (by its position before the removals).
    const CardBytes& card(qsizetype row) const {
        const auto latest = latest_.find(row);
        return latest == latest_.end() ? rows_[size_t(row)].card : replaced_[latest->second].card;
    }

    void replace(qsizetype row, CardBytes card, QString name) {
        latest_[row] = replaced_.size();
        const qsizetype shift =
            qsizetype(std::lower_bound(gone_.begin(), gone_.end(), row) - gone_.begin());
        replaced_.push_back({row - shift, std::move(card), std::move(name)});
    }

private:
    std::span<const ContactEntry> rows_;
    std::vector<qsizetype> gone_;
    std::vector<CardReplacement>& replaced_;
    std::map<qsizetype, size_t> latest_;  // a row's newest entry in `replaced_`
};

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

RefreshOutcome applyRefresh(const Download& changes, std::span<const ContactEntry> rows,
                            BookState& book, Reporter& reporter) {
    RefreshOutcome outcome;
    RowsAfterRemovals after(rows, takeRemovals(changes, rows, book, outcome),
                            outcome.cardsToReplace);
    outcome.rowsToRemove.assign(after.gone().rbegin(), after.gone().rend());
    outcome.removed = qsizetype(outcome.rowsToRemove.size());

    const std::map<QString, qsizetype> present = rowsByHref(rows, after.gone());
    for (const ServerCard& card : changes.cards) {
        const auto row = present.find(card.href);
        const auto known = book.cards.find(card.href);
        if (known != book.cards.end() && known->second.etag == card.etag)
            continue;  // what the list holds already (a full download repeats everything)
        if (row != present.end() && isEditedHere(card.href, after.card(row->second), book)) {
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
            after.replace(row->second, entries.front().card, entries.front().Text);
            ++outcome.replaced;
        } else {
            outcome.rowsToAppend.push_back(std::move(entries.front()));
        }
    }
    outcome.added = qsizetype(outcome.rowsToAppend.size());
    book.syncToken = changes.syncToken;
    return outcome;
}

}  // namespace pennacle
