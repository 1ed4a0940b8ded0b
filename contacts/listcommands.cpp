#include "contacts/listcommands.h"

namespace pennacle {

namespace {

void put(ContactList& contacts, qsizetype row, const ContactEntry& entry) {
    contacts.setCard(row, entry.card, entry.Text);
}

}  // namespace

ContactsAdded::ContactsAdded(const QString& text, ContactList& contacts, ShowContact show,
                             qsizetype first, qsizetype n, qsizetype currentBefore)
    : QUndoCommand(text),
      contacts_(contacts),
      show_(std::move(show)),
      first_(first),
      n_(n),
      currentBefore_(currentBefore) {}

void ContactsAdded::undo() {
    taken_ = contacts_.take(first_, n_);
    show_(currentBefore_);
}

void ContactsAdded::redo() {
    if (std::exchange(done_, false))
        return;
    contacts_.insert(first_, std::move(taken_));
    taken_ = {};
    show_(first_);
}

ContactsRemoved::ContactsRemoved(const QString& text, ContactList& contacts, ShowContact show,
                                 qsizetype first, qsizetype n, qsizetype shownAfterUndo)
    : QUndoCommand(text),
      contacts_(contacts),
      show_(std::move(show)),
      first_(first),
      n_(n),
      shownAfterUndo_(shownAfterUndo) {}

void ContactsRemoved::undo() {
    contacts_.insert(first_, std::move(taken_));
    taken_ = {};
    show_(shownAfterUndo_);
}

void ContactsRemoved::redo() {
    taken_ = contacts_.take(first_, n_);
    show_(contacts_.currentRow());
}

CardEdited::CardEdited(ContactList& contacts, ShowContact show, qsizetype row, ContactEntry before,
                       ContactEntry after, int typing)
    : QUndoCommand(QStringLiteral("Edit")),
      contacts_(contacts),
      show_(std::move(show)),
      row_(row),
      before_(std::move(before)),
      after_(std::move(after)),
      typing_(typing) {}

void CardEdited::undo() {
    put(contacts_, row_, before_);
    show_(row_);
}

void CardEdited::redo() {
    if (std::exchange(done_, false))
        return;
    put(contacts_, row_, after_);
    show_(row_);
}

bool CardEdited::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const CardEdited*>(other);
    if (!next || next->row_ != row_ || next->typing_ != typing_)
        return false;
    after_ = next->after_;
    setObsolete(after_.card == before_.card);
    return true;
}

}  // namespace pennacle
