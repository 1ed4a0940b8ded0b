#pragma once

#include "core/contactentry.h"

#include <QByteArray>
#include <QStringView>

#include <functional>
#include <span>
#include <vector>

namespace pennacle {

// What the find bar matches, without a model: the find filter keeps these texts beside the
// list, and the command line finds with them over plain rows, so both find the same contacts.

// Gives a contact's folded search text; called for many rows at once from several threads.
using SearchText = std::function<QByteArray(const ContactEntry&)>;

// texts[i] = searchText(contacts[i]) for every row; a large batch is shared among the
// processor's cores, each writing its own rows. Both spans have the same size.
void makeSearchTexts(std::span<const ContactEntry> contacts, const SearchText& searchText,
                     std::span<QByteArray> texts);

// Whether a folded search text holds a folded query; every text holds the empty query.
bool holdsQuery(const QByteArray& text, const QByteArray& foldedQuery);

// The rows (ascending) whose texts hold the folded query; over a large list on every core.
std::vector<int> rowsHoldingQuery(std::span<const QByteArray> texts, const QByteArray& foldedQuery);
// The same among the rows `among` (ascending) only.
std::vector<int> rowsHoldingQuery(std::span<const QByteArray> texts, const QByteArray& foldedQuery,
                                  std::span<const int> among);

// The rows (ascending) whose search text holds the query once both are folded: those the find
// bar shows for the query over a list of these contacts.
std::vector<int> findContacts(std::span<const ContactEntry> contacts, const SearchText& searchText,
                              QStringView query);

}  // namespace pennacle
