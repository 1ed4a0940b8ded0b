#pragma once

#include "app/flowcontext.h"
#include "app/undoflow.h"
#include "cards/duplicates.h"
#include "cards/merge.h"
#include "core/settingsstore.h"

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace pennacle {

// "Find Duplicates": the groups of contacts that are probably one person, each with its
// reasons. A group is merged after the user picked what survives; exact copies go in one
// click. Every change is one step to undo.
class DuplicatesWindow : public QDialog {
    Q_OBJECT
public:
    struct Window {
        FlowContext context;
        ContactList& contacts;
        UndoFlow& undo;
        SettingsStore& settings;
        std::function<QDateTime()> clock;
    };
    // Asks which values a merge keeps; nothing when the user cancels. The window asks with a
    // MergeDialog; tests answer themselves.
    using AskMerge = std::function<std::optional<MergeChoices>(
        const std::vector<CardForm>& forms, const QStringList& names, QWidget* parent)>;

    DuplicatesWindow(Window window, QWidget* parent);

    void setAskMerge(AskMerge ask) { askMerge_ = std::move(ask); }

    // Finds the groups again, as the window does whenever the list or the region changed.
    void refresh();
    const std::vector<DuplicateGroup>& groups() const { return groups_; }
    QString region() const;
    void setRegion(const QString& region);
    // Merges the group shown in `row` of the window's list.
    void mergeGroup(int row);
    // Keeps the first of each set of contacts with the very same card.
    void removeExactCopies();

private:
    void createControls();
    void showGroups();
    void enableButtons();

    Window window_;
    AskMerge askMerge_;
    std::vector<DuplicateGroup> groups_;
    QComboBox* region_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* merge_ = nullptr;
    QPushButton* removeCopies_ = nullptr;
};

}  // namespace pennacle
