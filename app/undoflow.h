#pragma once

#include "contacts/contactlist.h"
#include "contacts/listcommands.h"

#include <QObject>
#include <QUndoStack>

#include <functional>

class QAction;
class QWidget;

namespace pennacle {

// Undo and redo over everything that changes the contact list or a card. Typing in one box is
// one step until another box or contact is chosen. A text box keeps its own Ctrl+Z for what was
// typed in it; only once its own history is empty do the keys reach the list's steps.
class UndoFlow : public QObject {
    Q_OBJECT
public:
    struct Window {
        QWidget& window;  // where the Undo and Redo keys work
        ContactList& contacts;
        ShowContact show;  // selects and shows a contact row; -1 shows none
    };
    static constexpr int kNotTyping = -1;

    explicit UndoFlow(Window window);

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    bool isClean() const { return stack_.isClean(); }
    // The list as it is now is the one in its file.
    void setClean() { stack_.setClean(); }
    // Forgets every step: the list was replaced or changed by others beside the steps.
    void reset() { stack_.clear(); }

    // Records rows [first, first + n) that were just added.
    void added(const QString& text, qsizetype first, qsizetype n, qsizetype currentBefore);
    // Removes rows [first, first + n) as one step; undo shows `shownAfterUndo`.
    void remove(const QString& text, qsizetype first, qsizetype n, qsizetype shownAfterUndo);
    // Removes the rows (any order) as one step; undo shows the first of them.
    void removeRows(const QString& text, std::vector<qsizetype> rows);
    // Replaces the contact of `kept` by `merged` and removes the others, as one step.
    void merge(qsizetype kept, ContactEntry merged, std::vector<qsizetype> others);
    // Runs `edit` on the current contact's card and records what it changed. `typingBox`, a
    // box's number, merges the steps of typing in that box.
    void edit(int typingBox, const std::function<void()>& edit);
    // The next typing starts a step of its own.
    void endTyping() { typingBox_ = kNotTyping; }

    // Lets Undo and Redo keys in `box` reach the list's steps once the box has nothing left to
    // undo or redo itself.
    void watchBox(QWidget* box);

signals:
    void cleanChanged(bool clean);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* makeAction(QAction* action, const QList<QKeySequence>& keys);

    Window window_;
    QUndoStack stack_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    int typingBox_ = kNotTyping;
    int typingRun_ = 0;
};

}  // namespace pennacle
