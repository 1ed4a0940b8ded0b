#pragma once

#include "contacts/contactlist.h"
#include "contacts/contactsearch.h"

#include <QAbstractProxyModel>
#include <QByteArray>

#include <functional>
#include <vector>

namespace pennacle {

// The contacts whose search text holds a query, in list order: the rows the contact list shows
// while the find bar is open. Each contact's folded search text is made once, when its row is
// added, and made again when its row changes (its card, and the name it is shown by), so a
// keystroke only scans those short texts and never the cards. Every change of the list reaches
// the shown rows at once; a contact whose row changes stays shown until the query changes, so
// the row being edited does not vanish.
class ContactFilter : public QAbstractProxyModel {
    Q_OBJECT
public:
    using SearchText = pennacle::SearchText;

    ContactFilter(ContactList& contacts, SearchText searchText, QObject* parent = nullptr);

    // Shows the contacts whose search text contains the query, folded; an empty query shows all.
    void setQuery(QStringView query);
    const QByteArray& foldedQuery() const { return query_; }

    qsizetype shownCount() const { return static_cast<qsizetype>(shown_.size()); }
    // The list row of a shown row, and the shown row of a list row (-1 when it is not shown).
    qsizetype contactRow(int shownRow) const;
    int shownRow(qsizetype contactRow) const;
    const QByteArray& searchTextOf(qsizetype contactRow) const {
        return texts_.at(static_cast<size_t>(contactRow));
    }

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The number of shown rows or of contacts changed.
    void countsChanged();

private:
    void contactsInserted(int first, int last);
    void contactsAboutToBeRemoved(int first, int last);
    void contactsRemoved(int first, int last);
    void contactsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void contactsReset();
    void filterAll();
    void showMatches();
    void makeSearchTexts(size_t first, size_t last);
    bool matches(size_t contactRow) const;
    // Where the shown rows at or after a list row begin.
    std::vector<int>::const_iterator firstShownFrom(int contactRow) const;

    ContactList& contacts_;
    SearchText searchText_;
    std::vector<QByteArray> texts_;  // one per contact, in list order
    std::vector<int> shown_;         // list rows of the shown contacts, ascending
    QByteArray query_;               // folded
    bool removingShown_ = false;
    bool hiddenRowsChanged_ = false;  // texts of rows the query hides changed since it was set
};

}  // namespace pennacle
