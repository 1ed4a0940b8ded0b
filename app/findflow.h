#pragma once

#include "contacts/contactfilter.h"
#include "contacts/contactlist.h"

#include <QObject>
#include <QRect>

#include <functional>

class QAbstractItemModel;
class QTreeView;
class QWidget;

namespace pennacle {

class FindBar;

// The find bar below the contact list (Ctrl+F); while it is open the list shows only the
// contacts that hold its text. Either way the list's selection follows the current contact,
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

private:
    void createBar(QWidget& window);
    void followContacts();
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
    FindBar* bar_ = nullptr;
    QRect listPlace_;
    // Raised while the list's selection follows the model, so it is not taken as a pick.
    bool following_ = false;
};

// Shows the model in the contact list with the list's columns.
void showInList(QTreeView& list, QAbstractItemModel& model);

}  // namespace pennacle
