#pragma once

#include "app/duplicatesflow.h"
#include "app/emailflow.h"
#include "app/findflow.h"
#include "app/formview.h"
#include "app/importflow.h"
#include "app/listchanges.h"
#include "app/listflow.h"
#include "app/photoflow.h"
#include "app/sampleflow.h"
#include "app/saveflow.h"
#include "app/saveoptioncontrols.h"
#include "app/serverflow.h"
#include "app/undoflow.h"
#include "app/windowcontrols.h"
#include "cards/cardform.h"
#include "contacts/contactlist.h"
#include "core/dialogs.h"
#include "core/guard.h"
#include "core/settingsstore.h"

#include <QAction>
#include <QDateTime>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

class QDragEnterEvent;
class QDropEvent;

namespace pennacle {

// The program's one window: the contact list on the left, the tabbed contact form on the
// right. Controls carry their designer names as object names (txtTextbox_0 ... for arrays).
// The window shows the form and wires its controls; the form's widgets, the e-mail lists, the
// list's commands, importing, saving, pictures, the sample files, finding, undo, the server
// and duplicates each run in a class of their own, which sees only what it needs of the
// window.
class Form1 : public QWidget, private WindowControls {
    Q_OBJECT
public:
    using WindowControls::kPushButtonCount;

    Form1(Dialogs& dialogs, SettingsStore& settings, QString appFolder, QWidget* parent = nullptr);
    ~Form1() override;

    ContactList& contacts() { return contacts_; }
    const QString& applicationTitle() const { return appTitle_; }

    // The time that the rebuild writes as REV; tests fix it.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    // How long an import or save runs before its progress appears; tests shorten it.
    void setProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

    // Command handlers, public so that scripted tests can run them as a click would.
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click() { emails_.add(); }
    void PushButton4_Click();
    void PushButton5_Click() { listFlow_->deleteSelected(); }
    void PushButton6_Click() { listFlow_->clear(); }
    void PushButton7_Click();
    void PushButton8_Click();
    void PushButton9_Click() { emails_.removeSelected(); }
    void PushButton10_Click() { photoFlow_.replace(); }
    void PushButton11_Click() { photoFlow_.remove(); }
    void PushButton12_Click() { photoFlow_.chooseAndAdd(); }
    // "Remove Selected Line" on the "More" page.
    void PushButton13_Click();
    // "New Contact" (Ctrl+N).
    void PushButton14_Click();
    // "Find Duplicates" (Ctrl+D): opens the window of probable duplicates.
    void PushButton15_Click();
    // "Open Address Book on Server..." (Ctrl+Shift+O), "Save to Server" and "Refresh".
    void PushButton16_Click();
    void PushButton17_Click() { server().save(); }
    void PushButton18_Click() { server().refresh(); }
    // Where server passwords are remembered; the desktop's key store unless a test sets one.
    void setSecretStore(SecretStore& store) { secrets_ = &store; }
    DuplicatesWindow* duplicatesWindow() const { return duplicates_; }

    // The list's last step taken back, and taken again (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y).
    void undo() { undo_->undoAction()->trigger(); }
    void redo() { undo_->redoAction()->trigger(); }

    // Imports VCF files one after another, as "Add Contact(s) From 1 VCF File" imports one.
    void importFiles(const QStringList& paths);
    // Adds a picture file as "Add Picture" adds the chosen one (a file dropped on "Photos").
    void addPictureFile(const QString& path) { photoFlow_.addFile(path); }

    // The two bridges between the widgets and the form value.
    CardForm readForm() const { return formView_.read(); }
    void showForm(const CardForm& form) { formView_.show(form); }

    void ClearData() { formView_.clear(); }
    void LoadVCFData(const CardBytes& card) { formView_.load(card); }
    void txtTextbox_Change(int index) { rebuildTyped(index); }
    // Regenerates the current contact's card from the form, unless the program itself is
    // filling the form.
    void rebuildNow() { rebuildTyped(UndoFlow::kNotTyping); }
    // The same for text typed in a box (a number of `FormField` or a `TypedBox`): typing in one
    // box is one step to undo.
    void rebuildTyped(int box);

    // Fits the window into the free room of its screen: where the designed size does not fit,
    // the controls scroll.
    void fitIntoScreen(const QSize& room) { fitInto(this, room); }

    // The find bar below the contact list (Ctrl+F); while it is open the list shows only the
    // contacts that hold its text.
    void openFindBar() { finder_->open(); }
    void closeFindBar() { finder_->close(); }
    // Where a contact stands in the list as the user sees it, filtered and sorted (-1 when it
    // is not shown), and the contact shown at a row (-1 past the rows).
    int shownRowOf(qsizetype contactRow) const { return finder_->shownRowOf(contactRow); }
    qsizetype contactRowShownAt(int shownRow) const { return finder_->contactRowShownAt(shownRow); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override { acceptFileDrag(*event); }
    void dropEvent(QDropEvent* event) override;

private:
    void connectHandlers();

    void Form_Load();
    void ApplySkin();
    void TabControl1_Click(int index);

    void connectFormHandlers();
    // What each flow may use of the window.
    ImportFlow::Window importWindow();
    SaveFlow::Window saveWindow();
    PhotoFlow::Window photoWindow();
    SampleFlow::Window sampleWindow();
    EmailFlow::Window emailWindow();
    UndoFlow::Window undoWindow();
    ListFlow::Window listWindow();
    FlowContext flowContext();
    StartProgress progressStarter();
    void ListView1_ItemClick(int row);
    void ListView2_ItemClick(int row) { photoFlow_.preview(row); }
    void Combo1_Click(int index) { emails_.pick(index); }
    void Combo1_Change() { emails_.typeAddress(); }
    void Combo2_Change() { emails_.typeType(); }
    void connectUndo();
    // Selects and shows the contact of `row` (or the current one, when `row` is none), revealing
    // it when the find bar hides it; with no contact left, empties the form.
    void showContactRow(qsizetype row);
    // Runs `add`, which adds contacts to the list, and records them as one step to undo. Flows
    // that add a whole file into an empty list mark the list as the file's.
    void recordAdded(const QString& text, const std::function<void()>& add);
    // The list's unsaved changes, shown in the title.
    void showChanges();
    // Asks about unsaved changes before the window closes; true when it may close.
    bool mayClose();
    // The buttons' tooltips name the keys that do the same.
    void showShortcutsInTooltips();
    void enableFormForContact() { formView_.enablePages(contacts_.current() != nullptr); }

    Dialogs& dialogs_;
    SettingsStore& settings_;
    DialogsReporter reporter_;
    QString appFolder_;
    QString appTitle_;

    ContactList contacts_;
    FormView formView_;
    ListChanges changes_;
    // Raised by a flow that added a file's contacts to an empty list.
    bool addedMatchesFile_ = false;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
    std::chrono::milliseconds progressDelay_{700};
    SaveOptionControls saveOptions_;
    ImportFlow imports_;
    SaveFlow saves_;
    PhotoFlow photoFlow_;
    SampleFlow samples_;
    EmailFlow emails_;
    std::unique_ptr<FindFlow> finder_;
    std::unique_ptr<UndoFlow> undo_;
    std::unique_ptr<ListFlow> listFlow_;
    ServerFlow& server();
    void enableServerButtons();
    std::unique_ptr<SecretStore> keychain_;
    SecretStore* secrets_ = nullptr;
    std::unique_ptr<ServerFlow> server_;      // made when first asked for
    DuplicatesWindow* duplicates_ = nullptr;  // made when first asked for
};

// The "Help" message.
QString helpText();

}  // namespace pennacle
