#pragma once

#include "app/duplicatesflow.h"
#include "app/findflow.h"
#include "app/importflow.h"
#include "app/listchanges.h"
#include "app/otherlinelist.h"
#include "app/photoflow.h"
#include "app/sampleflow.h"
#include "app/saveflow.h"
#include "app/serverflow.h"
#include "app/undoflow.h"
#include "app/windowcontrols.h"
#include "cards/cardform.h"
#include "contacts/contactlist.h"
#include "core/dialogs.h"
#include "core/guard.h"
#include "core/settingsstore.h"
#include "photos/photolist.h"

#include <QWidget>

#include <QDateTime>

#include <chrono>
#include <functional>
#include <memory>

class QDragEnterEvent;
class QDropEvent;
class QRadioButton;

namespace pennacle {

// The program's one window: the contact list on the left, the tabbed contact form on the
// right. Controls carry their designer names as object names (txtTextbox_0 ... for arrays).
// The window shows the form and wires its controls; importing, saving, pictures, the sample
// files and finding each run in a flow of their own, which sees only what it needs of the
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
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();
    void PushButton6_Click();
    void PushButton7_Click();
    void PushButton8_Click();
    void PushButton9_Click();
    void PushButton10_Click();
    void PushButton11_Click();
    void PushButton12_Click();
    // "Remove Selected Line" on the "More" page.
    void PushButton13_Click();
    // "New Contact" (Ctrl+N).
    void PushButton14_Click();
    // "Find Duplicates" (Ctrl+D): opens the window of probable duplicates.
    void PushButton15_Click();
    // "Open Address Book on Server..." (Ctrl+Shift+O), "Save to Server" and "Refresh".
    void PushButton16_Click();
    void PushButton17_Click();
    void PushButton18_Click();
    // Where server passwords are remembered; the desktop's key store unless a test sets one.
    void setSecretStore(SecretStore& store) { secrets_ = &store; }
    DuplicatesWindow* duplicatesWindow() const { return duplicates_; }

    // The list's last step taken back, and taken again (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y).
    void undo();
    void redo();

    // Imports VCF files one after another, as "Add Contact(s) From 1 VCF File" imports one.
    void importFiles(const QStringList& paths);
    // Adds a picture file as "Add Picture" adds the chosen one (a file dropped on "Photos").
    void addPictureFile(const QString& path);

    // The two bridges between the widgets and the form value.
    CardForm readForm() const;
    void showForm(const CardForm& form);

    void ClearData();
    void LoadVCFData(const CardBytes& card);
    void txtTextbox_Change(int index);
    // Regenerates the current contact's card from the form, unless the program itself is
    // filling the form.
    void rebuildNow();
    // The same for text typed in a box (a number of `FormField` or a `TypedBox`): typing in one
    // box is one step to undo.
    void rebuildTyped(int box);

    // The find bar below the contact list (Ctrl+F); while it is open the list shows only the
    // contacts that hold its text.
    // Fits the window into the free room of its screen: where the designed size does not fit,
    // the controls scroll.
    void fitIntoScreen(const QSize& room) { fitInto(this, room); }

    void openFindBar();
    void closeFindBar();
    // Where a contact stands in the list as the user sees it, filtered and sorted (-1 when it
    // is not shown), and the contact shown at a row (-1 past the rows).
    int shownRowOf(qsizetype contactRow) const;
    qsizetype contactRowShownAt(int shownRow) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHandlers();

    void Form_Load();
    void ApplySkin();
    void restoreOption(QRadioButton* option, const char* key, const char* defaultValue);
    void writeOptionPair(QRadioButton* first, QRadioButton* second);
    void showEncodingApplies();
    void TabControl1_Click(int index);

    void connectFormHandlers();
    // What each flow may use of the window.
    ImportFlow::Window importWindow();
    SaveFlow::Window saveWindow();
    PhotoFlow::Window photoWindow();
    SampleFlow::Window sampleWindow();
    FlowContext flowContext();
    StartProgress progressStarter();
    SaveOptions saveOptions() const;
    void ListView1_ItemClick(int row);
    void ListView2_ItemClick(int row);
    int selectedPhotoRow() const;
    void selectPhotoRow(int row);
    bool isOnPhotosPage(const QPointF& position) const;
    void Combo1_Click(int index);
    void Combo1_Change();
    void Combo2_Change();
    void setHolder(const QString& address);
    // Boxes that are typed in besides the form's text boxes, numbered after them.
    enum TypedBox { Combo1Typing = Notes + 1, Combo2Typing, BirthdayTyping };
    void connectUndo();
    UndoFlow::Window undoWindow();
    // Selects and shows the contact of `row` (or the current one, when `row` is none), revealing
    // it when the find bar hides it; with no contact left, empties the form.
    void showContactRow(qsizetype row);
    // Runs `add`, which adds contacts to the list, and records them as one step to undo. Flows
    // that add a whole file into an empty list mark the list as the file's.
    void recordAdded(const QString& text, const std::function<void()>& add);
    void listMenu();
    // The list's unsaved changes, shown in the title.
    void showChanges();
    // Asks about unsaved changes before the window closes; true when it may close.
    bool mayClose();
    // The buttons' tooltips name the keys that do the same.
    void showShortcutsInTooltips();
    // With no contact current the form is disabled, so nothing typed in it is silently lost.
    void enableFormForContact();

    Dialogs& dialogs_;
    SettingsStore& settings_;
    DialogsReporter reporter_;
    QString appFolder_;
    QString appTitle_;

    ContactList contacts_;
    PhotoList photos_;
    OtherLineList otherLines_;
    OtherParts otherParts_;  // of the loaded card, written back with the boxes' text
    ListChanges changes_;
    // Raised by a flow that added a file's contacts to an empty list.
    bool addedMatchesFile_ = false;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
    std::chrono::milliseconds progressDelay_{700};
    // Raised while the program itself empties or fills the form, so no card is rebuilt.
    bool FillingForm = false;
    // Raises FillingForm for its lifetime and restores what it was, so nesting is safe.
    class FillingScope {
    public:
        explicit FillingScope(Form1& form) : flag_(form.FillingForm), before_(flag_) {
            flag_ = true;
        }
        ~FillingScope() { flag_ = before_; }
        FillingScope(const FillingScope&) = delete;
        FillingScope& operator=(const FillingScope&) = delete;

    private:
        bool& flag_;
        bool before_;
    };
    ImportFlow imports_;
    SaveFlow saves_;
    PhotoFlow photoFlow_;
    SampleFlow samples_;
    std::unique_ptr<FindFlow> finder_;
    std::unique_ptr<UndoFlow> undo_;
    ServerFlow& server();
    void enableServerButtons();
    std::unique_ptr<SecretStore> keychain_;
    SecretStore* secrets_ = nullptr;
    std::unique_ptr<ServerFlow> server_;      // made when first asked for
    DuplicatesWindow* duplicates_ = nullptr;  // made when first asked for
};

// The "?" note on text-file encodings.
QString encodingNoteText();
// The "Help" message.
QString helpText();

}  // namespace pennacle
