#pragma once

#include "app/findflow.h"
#include "app/formview.h"
#include "app/undoflow.h"
#include "contacts/contactlist.h"
#include "core/guard.h"

#include <QObject>

#include <functional>

class QTreeView;
class QWidget;

namespace pennacle {

// The contact list's own commands: "Delete Selected Contact" (also the Delete key in the
// list), "Clear List", and the list's context menu, which offers the window's list commands
// and Undo and Redo.
class ListFlow : public QObject {
    Q_OBJECT
public:
    struct Window {
        QWidget& window;  // where the menu opens
        QTreeView& list;
        Reporter& reporter;
        ContactList& contacts;
        UndoFlow& undo;
        FindFlow& finder;
        FormView& form;
        // The window's commands, which the Delete key and the menu run.
        std::function<void()> newContact;
        std::function<void()> deleteContact;
        std::function<void()> showDuplicates;
    };

    explicit ListFlow(Window window);

    // Removes the contact that the user sees selected; undo brings it back.
    void deleteSelected();
    // Removes every contact as one step.
    void clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMenu();

    Window window_;
};

}  // namespace pennacle
