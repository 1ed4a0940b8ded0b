#pragma once

#include "contacts/contactlist.h"

#include <QUndoCommand>

#include <functional>
#include <vector>

namespace pennacle {

// The steps that undo and redo walk through: each changes the contact list and then shows the
// contact it is about (or, with -1, that no contact is left to show). A step holds the cards of
// the contacts it touched only: what the list holds is never copied.
using ShowContact = std::function<void(qsizetype row)>;

// Rows [first, first + n) were just added (an import, the samples, a new contact). Undo takes
// them out and shows the contact that was current before; redo puts them back.
class ContactsAdded : public QUndoCommand {
public:
    ContactsAdded(const QString& text, ContactList& contacts, ShowContact show, qsizetype first,
                  qsizetype n, qsizetype currentBefore);
    void undo() override;
    void redo() override;

private:
    ContactList& contacts_;
    ShowContact show_;
    qsizetype first_;
    qsizetype n_;
    qsizetype currentBefore_;
    std::vector<ContactEntry> taken_;
    bool done_ = true;  // pushed after the rows were added
};

// Takes rows [first, first + n) out of the list when pushed (a deleted contact, Clear List).
// Undo puts them back at their place and shows `shownAfterUndo`.
class ContactsRemoved : public QUndoCommand {
public:
    ContactsRemoved(const QString& text, ContactList& contacts, ShowContact show, qsizetype first,
                    qsizetype n, qsizetype shownAfterUndo);
    void undo() override;
    void redo() override;

private:
    ContactList& contacts_;
    ShowContact show_;
    qsizetype first_;
    qsizetype n_;
    qsizetype shownAfterUndo_;
    std::vector<ContactEntry> taken_;
};

// A contact's card was just replaced by an edit. Edits of one typing run (the same box of the
// same contact, `typing` >= 0) merge into one step; a run that ends where it started is no step.
class CardEdited : public QUndoCommand {
public:
    CardEdited(ContactList& contacts, ShowContact show, qsizetype row, ContactEntry before,
               ContactEntry after, int typing);
    void undo() override;
    void redo() override;
    int id() const override { return typing_ < 0 ? -1 : kId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    static constexpr int kId = 0x5e17;

    ContactList& contacts_;
    ShowContact show_;
    qsizetype row_;
    ContactEntry before_;
    ContactEntry after_;
    int typing_;
    bool done_ = true;
};

}  // namespace pennacle
