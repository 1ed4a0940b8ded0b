#include "contacts/contactsearch.h"

#include "contacts/searchfold.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <thread>

namespace pennacle {

namespace {

// Runs work(share, from, to) over the rows [0, count) cut into one share per processor core
// (up to kMaxShares) when there are rows enough to make threads pay; share 0 runs on the
// calling thread. Returns the number of shares.
constexpr size_t kMaxShares = 8;

template <class Work>
size_t shareRows(size_t count, size_t rowsPerThread, Work&& work) {
    const size_t threads =
        std::clamp<size_t>(std::min<size_t>(std::thread::hardware_concurrency(), kMaxShares), 1,
                           count / rowsPerThread + 1);
    const size_t share = (count + threads - 1) / threads;
    std::vector<std::thread> helpers;
    size_t shares = 1;
    for (size_t from = share; from < count; from += share, ++shares)
        helpers.emplace_back(work, shares, from, std::min(from + share, count));
    work(size_t(0), size_t(0), std::min(share, count));
    for (std::thread& helper : helpers)
        helper.join();
    return shares;
}

// The rows rowAt(0) ... rowAt(count - 1) (ascending) whose texts hold the query.
template <class RowAt>
std::vector<int> matchesAmong(std::span<const QByteArray> texts, const QByteArray& query,
                              size_t count, RowAt&& rowAt) {
    // A keystroke in the find bar scans the texts of the contacts: over a large list, on every
    // core, each share of the rows into a list of its own.
    std::array<std::vector<int>, kMaxShares> found;
    const size_t shares = shareRows(count, 65536, [&](size_t share, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            const int row = rowAt(i);
            if (holdsQuery(texts[size_t(row)], query))
                found[share].push_back(row);
        }
    });
    if (shares == 1)
        return std::move(found[0]);
    std::vector<int> rows;
    for (size_t share = 0; share < shares; ++share)
        rows.insert(rows.end(), found[share].begin(), found[share].end());
    return rows;
}

}  // namespace

void makeSearchTexts(std::span<const ContactEntry> contacts, const SearchText& searchText,
                     std::span<QByteArray> texts) {
    // A large import shares the work among the processor's cores; each writes its own rows.
    shareRows(contacts.size(), 4096, [&](size_t, size_t from, size_t to) {
        for (size_t row = from; row < to; ++row)
            texts[row] = searchText(contacts[row]);
    });
}

bool holdsQuery(const QByteArray& text, const QByteArray& foldedQuery) {
    if (foldedQuery.isEmpty())
        return true;
    return std::string_view(text.constData(), size_t(text.size()))
               .find(std::string_view(foldedQuery.constData(), size_t(foldedQuery.size()))) !=
           std::string_view::npos;
}

std::vector<int> rowsHoldingQuery(std::span<const QByteArray> texts,
                                  const QByteArray& foldedQuery) {
    return matchesAmong(texts, foldedQuery, texts.size(), [](size_t i) { return int(i); });
}

std::vector<int> rowsHoldingQuery(std::span<const QByteArray> texts, const QByteArray& foldedQuery,
                                  std::span<const int> among) {
    return matchesAmong(texts, foldedQuery, among.size(), [&](size_t i) { return among[i]; });
}

std::vector<int> findContacts(std::span<const ContactEntry> contacts, const SearchText& searchText,
                              QStringView query) {
    std::vector<QByteArray> texts(contacts.size());
    makeSearchTexts(contacts, searchText, texts);
    return rowsHoldingQuery(texts, foldForSearch(query));
}

}  // namespace pennacle
