#pragma once

#include "contacts/contactfilter.h"
#include "contacts/contactlist.h"
#include "contacts/nameorder.h"

#include <QObject>
#include <QRect>

#include <functional>

class QAbstractItemModel;
class QLabel;
class QTreeView;
class QWidget;

namespace pennacle {

class FindBar;

// The find bar below the contact list (Ctrl+F); while it is open the list shows only the
// contacts that hold its text. While it is closed its place shows the number of contacts.
// Clicking "Name" sorts the shown rows by name (ascending, descending, the list's order again);
// the list itself keeps its order. Either way the list's selection follows the current contact,
// and a row the user picks in the list is handed to the window as a contact row.
class FindFlow : public QObject {
    Q_OBJECT
public:
    using PickContact = std::function<void(int contactRow)>;

    // The bar goes on `window` over the foot of `list`, which shows `contacts`.
    FindFlow(QWidget& window, QTreeView& list, ContactList& contacts, PickContact pick);

    void open();
    void close();

    // The contact whose row the user sees selected in the list; -1 when no row is selected.
    qsizetype selectedContactRow() const;
    // Clears the find bar's text when it hides the contact of `row`, so the list shows it.
    void reveal(qsizetype row);
    // Where a contact stands in the list as shown (-1 when it is not shown), and the reverse
    // (-1 past the shown rows).
    int shownRowOf(qsizetype contactRow) const;
    qsizetype contactRowShownAt(int shownRow) const;

private:
    void createBar(QWidget& window);
    void createCount(QWidget& parent);
    void followContacts();
    void sortBy(int column, Qt::SortOrder order);
    // Shows the rows in the list, filtered while the bar is open and in the order chosen.
    void showRows();
    bool isOpen() const;
    void showCurrentContactRow(qsizetype row);
    void filterList(const QString& text);
    void pickFirstMatch();
    void enterList();
    void showCounts();
    // The contact row of a row of the list as it is shown, and the reverse (invalid when the
    // contact is not shown).
    qsizetype contactRowOf(const QModelIndex& listIndex) const;
    QModelIndex listIndexOf(qsizetype contactRow) const;

    QTreeView& list_;
    ContactList& contacts_;
    PickContact pick_;
    ContactFilter filter_;
    NameOrder sorted_;     // over filter_, which shows every contact while the bar is closed
    int sortColumn_ = -1;  // -1: the list's order
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool open_ = false;
    bool showingRows_ = false;
    FindBar* bar_ = nullptr;
    QLabel* count_ = nullptr;
    QRect listPlace_;
    // Raised while the list's selection follows the model, so it is not taken as a pick.
    bool following_ = false;
};

// Shows the model in the contact list with the list's columns.
void showInList(QTreeView& list, QAbstractItemModel& model);

}  // namespace pennacle
