#include "app/listflow.h"

#include "app/flowcontext.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

namespace pennacle {

ListFlow::ListFlow(Window window) : window_(std::move(window)) {
    window_.list.installEventFilter(this);
    window_.list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&window_.list, &QWidget::customContextMenuRequested, this, &ListFlow::showMenu);
}

void ListFlow::deleteSelected() {
    Guard g(window_.reporter, windowTag("PushButton5_Click"));
    if (!g.test(100, [&] { return !window_.contacts.isEmpty(); }))
        return;
    // Only a contact that the user sees selected: while the find bar filters, the current
    // contact may be one the list does not show.
    qsizetype row = -1;
    g(102, [&] { row = window_.finder.selectedContactRow(); });
    if (row < 0)
        return;
    // Asks nothing: undo brings the contact back. The step shows the row that takes its place,
    // or an empty form when none is left.
    g(104, [&] { window_.undo.remove(QStringLiteral("Delete Contact"), row, 1, row); });
}

void ListFlow::clear() {
    Guard g(window_.reporter, windowTag("PushButton6_Click"));
    ContactList& contacts = window_.contacts;
    g(100, [&] { window_.form.clear(); });
    g(102, [&] {
        window_.undo.remove(QStringLiteral("Clear List"), 0, contacts.count(),
                            contacts.currentRow());
    });
}

bool ListFlow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_.list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        window_.deleteContact();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ListFlow::showMenu() {
    QMenu menu(&window_.window);
    QAction* add = menu.addAction(QStringLiteral("New Contact"), this, window_.newContact);
    add->setShortcut(QKeySequence::New);
    QAction* remove =
        menu.addAction(QStringLiteral("Delete Selected Contact"), this, window_.deleteContact);
    remove->setShortcut(QKeySequence::Delete);
    remove->setEnabled(window_.finder.selectedContactRow() >= 0);
    QAction* duplicates =
        menu.addAction(QStringLiteral("Find Duplicates"), this, window_.showDuplicates);
    duplicates->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    menu.addSeparator();
    menu.addAction(window_.undo.undoAction());
    menu.addAction(window_.undo.redoAction());
    // The menu's own keys work only while it is open; the window has its own for them.
    for (QAction* action : {add, remove, duplicates})
        action->setShortcutContext(Qt::WidgetShortcut);
    menu.exec(QCursor::pos());
}

}  // namespace pennacle
