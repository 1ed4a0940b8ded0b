#include "app/undoflow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <limits>

namespace pennacle {

namespace {

// Each step holds one card of its own (the one before the edit), or the contacts it removed.
// Typing in a box is one step, so a hundred steps reach far back, and a card with a photo of
// megabytes cannot make the history hold more than a hundred copies of it.
constexpr int kUndoLimit = 100;

// Made when asked: standard keys come from the platform, known only once the program runs.
QList<QKeySequence> undoKeys() {
    return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
}
QList<QKeySequence> redoKeys() {
    return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
}

bool matchesAny(const QKeyEvent& key, const QList<QKeySequence>& keys) {
    const QKeySequence pressed(key.keyCombination());
    return std::any_of(keys.begin(), keys.end(), [&](const QKeySequence& k) {
        return k.matches(pressed) == QKeySequence::ExactMatch;
    });
}

// What the box itself could still undo or redo of what was typed in it.
std::pair<bool, bool> ownHistory(QObject* box) {
    if (auto* notes = qobject_cast<QPlainTextEdit*>(box))
        return {notes->document()->isUndoAvailable(), notes->document()->isRedoAvailable()};
    auto* edit = qobject_cast<QLineEdit*>(box);
    if (!edit)  // a date box or an editable list: its own line edit
        edit = box->findChild<QLineEdit*>();
    if (!edit)
        return {false, false};
    return {edit->isUndoAvailable(), edit->isRedoAvailable()};
}

}  // namespace

UndoFlow::UndoFlow(Window window) : window_(std::move(window)) {
    stack_.setUndoLimit(kUndoLimit);
    undo_ =
        makeAction(stack_.createUndoAction(&window_.window, QStringLiteral("Undo")), undoKeys());
    redo_ =
        makeAction(stack_.createRedoAction(&window_.window, QStringLiteral("Redo")), redoKeys());
    connect(&stack_, &QUndoStack::cleanChanged, this, &UndoFlow::cleanChanged);
    // Any step taken or walked ends a typing run, and so does choosing another box.
    connect(&stack_, &QUndoStack::indexChanged, this, [this] { endTyping(); });
    connect(qApp, &QApplication::focusChanged, this, [this] { endTyping(); });
}

QAction* UndoFlow::makeAction(QAction* action, const QList<QKeySequence>& keys) {
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window_.window.addAction(action);
    return action;
}

void UndoFlow::added(const QString& text, qsizetype first, qsizetype n, qsizetype currentBefore) {
    if (n > 0)
        stack_.push(
            new ContactsAdded(text, window_.contacts, window_.show, first, n, currentBefore));
}

void UndoFlow::remove(const QString& text, qsizetype first, qsizetype n, qsizetype shownAfterUndo) {
    if (n > 0)
        stack_.push(
            new ContactsRemoved(text, window_.contacts, window_.show, first, n, shownAfterUndo));
}

void UndoFlow::removeRows(const QString& text, std::vector<qsizetype> rows) {
    if (rows.empty())
        return;
    // From the last row up: each removal leaves the rows before it where they are.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    stack_.beginMacro(text);
    for (const qsizetype row : rows)
        stack_.push(new ContactsRemoved(text, window_.contacts, window_.show, row, 1, rows.back()));
    stack_.endMacro();
}

void UndoFlow::merge(qsizetype kept, ContactEntry merged, std::vector<qsizetype> others) {
    const QString text = QStringLiteral("Merge Contacts");
    std::sort(others.begin(), others.end(), std::greater<>());
    stack_.beginMacro(text);
    for (const qsizetype row : others)
        stack_.push(new ContactsRemoved(text, window_.contacts, window_.show, row, 1, kept));
    // Rows after the kept one went; the kept one is where it was when it stood first.
    const qsizetype at = kept - std::count_if(others.begin(), others.end(),
                                              [kept](qsizetype row) { return row < kept; });
    ContactEntry before = window_.contacts.at(at);
    window_.contacts.setCard(at, merged.card, merged.Text);
    stack_.push(new CardEdited(window_.contacts, window_.show, at, std::move(before),
                               std::move(merged), kNotTyping));
    stack_.endMacro();
    window_.show(at);
}

void UndoFlow::edit(int typingBox, const std::function<void()>& edit) {
    const qsizetype row = window_.contacts.currentRow();
    if (row < 0) {
        edit();
        return;
    }
    ContactEntry before = window_.contacts.at(row);
    edit();
    if (row >= window_.contacts.count() || window_.contacts.at(row).card == before.card)
        return;
    if (typingBox == kNotTyping || typingBox != typingBox_) {
        typingRun_ = typingRun_ == std::numeric_limits<int>::max() ? 0 : typingRun_ + 1;
    }
    const int run = typingBox == kNotTyping ? kNotTyping : typingRun_;
    stack_.push(new CardEdited(window_.contacts, window_.show, row, std::move(before),
                               window_.contacts.at(row), run));
    // Pushing ends the run (indexChanged); the box that is typed in carries it on.
    typingBox_ = typingBox;
}

void UndoFlow::watchBox(QWidget* box) {
    box->installEventFilter(this);
}

bool UndoFlow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    const auto [canUndo, canRedo] = ownHistory(watched);
    // Left unaccepted, the keys go to the window's Undo and Redo.
    if ((matchesAny(key, undoKeys()) && !canUndo) || (matchesAny(key, redoKeys()) && !canRedo)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pennacle
