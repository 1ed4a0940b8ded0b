// The commands of the main window and the bridges between its widgets and the form value.
#include "app/form1.h"

#include "cards/loader.h"
#include "cards/rebuild.h"
#include "core/linebreaks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeView>

#include <optional>

namespace pennacle {

namespace {

// The notes box breaks lines with LF; the form value with CR LF.
QString notesToForm(QString text) {
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// What the user typed in an editable list's edit area becomes the selected entry's text.
// Returns the entry's text before, or nothing when no entry is selected.
std::optional<QString> takeTypedEntry(QComboBox* combo) {
    const int index = combo->currentIndex();
    if (index < 0)
        return std::nullopt;
    QLineEdit* edit = combo->lineEdit();
    const QString before = combo->itemText(index);
    const QString typed = edit->text();
    if (typed != before) {
        // Replacing the entry puts its text into the edit area again, cursor at the end.
        const int cursor = edit->cursorPosition();
        combo->setItemText(index, typed);
        edit->setCursorPosition(cursor);
    }
    return before;
}

}  // namespace

void Form1::connectFormHandlers() {
    for (int i = 0; i < int(txtTextbox.size()); ++i) {
        connect(txtTextbox[size_t(i)], &QLineEdit::textChanged, this,
                [this, i] { txtTextbox_Change(i); });
    }
    connect(txtNotes, &QPlainTextEdit::textChanged, this, [this] { rebuildTyped(Notes); });
    // Ticking a preferred box or changing the birthday reaches the card at once, so a save
    // right after it keeps it.
    for (QCheckBox* check : Check1) {
        connect(check, &QCheckBox::toggled, this, [this] { rebuildNow(); });
    }
    connect(dtpBirthday, &QDateEdit::dateChanged, this, [this] { rebuildTyped(BirthdayTyping); });
    // Picking an address only moves the type list along; only text that the user types in
    // either edit area changes the card. No completion: what is typed is what is kept.
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Form1::Combo1_Click);
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, &Form1::Combo1_Change);
    connect(Combo2->lineEdit(), &QLineEdit::textEdited, this, &Form1::Combo2_Change);
    Combo1->setCompleter(nullptr);
    Combo2->setCompleter(nullptr);

    connect(ListView2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!FillingForm && current.isValid())
                    ListView2_ItemClick(current.row());
            });
    ListView1->installEventFilter(this);

    auto* open = new QShortcut(QKeySequence::Open, this);
    connect(open, &QShortcut::activated, this, &Form1::PushButton2_Click);
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &Form1::PushButton1_Click);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &Form1::PushButton4_Click);
    auto* duplicates = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(duplicates, &QShortcut::activated, this, &Form1::PushButton15_Click);
    auto* openServer = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this);
    connect(openServer, &QShortcut::activated, this, &Form1::PushButton16_Click);
    enableServerButtons();
    auto* newContact = new QShortcut(QKeySequence::New, this);
    connect(newContact, &QShortcut::activated, this, &Form1::PushButton14_Click);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
    showShortcutsInTooltips();
    setAcceptDrops(true);
    connect(&contacts_, &ContactList::currentRowChanged, this, &Form1::enableFormForContact);
    enableFormForContact();
}

void Form1::showShortcutsInTooltips() {
    const std::pair<int, QKeySequence> keys[] = {
        {1, QKeySequence::Save},
        {2, QKeySequence::Open},
        {4, QKeySequence(Qt::Key_F1)},
        {5, QKeySequence(Qt::Key_Delete)},
        {14, QKeySequence::New},
        {15, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {16, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)}};
    for (const auto& [number, key] : keys) {
        QPushButton* button = PushButton[size_t(number)];
        button->setToolTip(button->text() + QStringLiteral(" (") +
                           key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    }
    // The one key without a control of its own.
    PushButton[4]->setToolTip(PushButton[4]->toolTip() +
                              QStringLiteral("; Ctrl+Q closes the window"));
}

void Form1::enableFormForContact() {
    // The pages, not the tab control: the tabs stay free to look at.
    const bool contact = contacts_.current() != nullptr;
    for (int page = 0; page < TabControl1->count(); ++page)
        TabControl1->widget(page)->setEnabled(contact);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        PushButton5_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

CardForm Form1::readForm() const {
    CardForm form;
    for (size_t i = 0; i < txtTextbox.size(); ++i)
        form.txtTextbox[i] = txtTextbox[i]->text();
    form[Notes] = notesToForm(txtNotes->toPlainText());
    for (size_t k = 0; k < Check1.size(); ++k)
        form.Check1[k] = Check1[k]->isChecked();
    form.Combo1.reserve(Combo1->count());
    for (int i = 0; i < Combo1->count(); ++i)
        form.Combo1 << Combo1->itemText(i);
    form.Combo2.reserve(Combo2->count());
    for (int i = 0; i < Combo2->count(); ++i)
        form.Combo2 << Combo2->itemText(i);
    form.Combo1Index = Combo1->currentIndex();
    form.dtpBirthday = dtpBirthday->date();
    form.photos = photos_.rows();
    const QModelIndex photo = ListView2->currentIndex();
    form.photoIndex = photo.isValid() ? photo.row() + 1 : 0;
    form.otherLines = otherLines_.lines();
    form.otherParts = otherParts_;
    return form;
}

void Form1::showForm(const CardForm& form) {
    for (size_t i = 0; i < txtTextbox.size(); ++i) {
        txtTextbox[i]->setText(form.txtTextbox[i]);
        // Long values show their beginning, as in a freshly opened form.
        txtTextbox[i]->setCursorPosition(0);
    }
    txtNotes->setPlainText(withLfBreaks(form[Notes]));
    for (size_t k = 0; k < Check1.size(); ++k)
        Check1[k]->setChecked(form.Check1[k]);
    dtpBirthday->setDate(form.dtpBirthday);
    Combo1->clear();
    Combo1->addItems(form.Combo1);
    Combo1->setCurrentIndex(form.Combo1Index < Combo1->count() ? form.Combo1Index : -1);
    Combo2->clear();
    Combo2->addItems(form.Combo2);
    Combo2->setCurrentIndex(Combo1->currentIndex() < Combo2->count() ? Combo1->currentIndex() : -1);
    Combo1->lineEdit()->setCursorPosition(0);
    Combo2->lineEdit()->setCursorPosition(0);
    otherLines_.setLines(form.otherLines);
    otherParts_ = form.otherParts;
    photos_.setRows(form.photos);
    if (form.photoIndex > 0 && form.photoIndex <= photos_.count()) {
        ListView2->setCurrentIndex(photos_.index(form.photoIndex - 1, 0));
    }
}

void Form1::ClearData() {
    Guard g(reporter_, windowTag("ClearData"));
    const FillingScope filling(*this);
    g(100, [&] {
        for (QLineEdit* box : txtTextbox)
            box->clear();
        txtNotes->clear();
    });
    g(102, [&] {
        for (QCheckBox* check : Check1)
            check->setChecked(false);
    });
    g(104, [&] { dtpBirthday->setDate(noBirthday()); });
    g(106, [&] {
        Combo1->clear();
        Combo2->clear();
    });
    g(108, [&] { photos_.clear(); });
    g(110, [&] { Picture1->clear(); });
    g(112, [&] {
        otherLines_.clear();
        otherParts_ = OtherParts();
    });
}

void Form1::LoadVCFData(const CardBytes& card) {
    ClearData();
    const FillingScope filling(*this);
    // The engine's loader reports its own steps under this procedure's name and numbering;
    // the window numbers its own.
    const CardForm form = loadCardForm(card, reporter_);
    Guard g(reporter_, windowTag("LoadVCFData"));
    g(100, [&] { showForm(form); });
    g(102, [&] {
        if (photos_.count() > 0) {
            ListView2->setCurrentIndex(photos_.index(0, 0));
            ListView2_ItemClick(0);
        }
    });
    TabControl1->setEnabled(true);
}

void Form1::txtTextbox_Change(int index) {
    rebuildTyped(index);
}

void Form1::rebuildNow() {
    rebuildTyped(UndoFlow::kNotTyping);
}

void Form1::rebuildTyped(int box) {
    if (FillingForm)
        return;
    undo_->edit(box, [&] {
        std::optional<CardReplacement> rebuilt = rebuildCurrentCard(
            contacts_.entries(), contacts_.currentRow(), readForm(), clock_(), reporter_);
        if (rebuilt)
            contacts_.setCard(rebuilt->row, std::move(rebuilt->card), std::move(rebuilt->Text));
    });
}

void Form1::Combo1_Click(int index) {
    if (Combo2->count() > 0)
        Combo2->setCurrentIndex(index < Combo2->count() ? index : -1);
}

void Form1::Combo1_Change() {
    if (FillingForm)
        return;
    Combo1_Click(Combo1->currentIndex());
    {
        const FillingScope filling(*this);
        // With no address selected, typing adds none: "+" does.
        const std::optional<QString> before = takeTypedEntry(Combo1);
        if (before && txtTextbox[HiddenEmail]->text() == *before)
            txtTextbox[HiddenEmail]->setText(Combo1->itemText(Combo1->currentIndex()));
    }
    rebuildTyped(Combo1Typing);
}

void Form1::Combo2_Change() {
    if (FillingForm)
        return;
    {
        const FillingScope filling(*this);
        takeTypedEntry(Combo2);
    }
    rebuildTyped(Combo2Typing);
}

void Form1::ListView1_ItemClick(int row) {
    if (row < 0 || row >= contacts_.count())
        return;
    contacts_.setCurrentRow(row);
    LoadVCFData(contacts_.at(row).card);
}

void Form1::ListView2_ItemClick(int row) {
    photoFlow_.preview(row);
}

int Form1::selectedPhotoRow() const {
    const QModelIndexList selected = ListView2->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void Form1::selectPhotoRow(int row) {
    if (row < 0) {
        ListView2->selectionModel()->clear();
    } else {
        ListView2->setCurrentIndex(photos_.index(row, 0));
    }
}

void Form1::PushButton12_Click() {
    photoFlow_.chooseAndAdd();
}

void Form1::addPictureFile(const QString& path) {
    photoFlow_.addFile(path);
}

void Form1::PushButton10_Click() {
    photoFlow_.replace();
}

void Form1::PushButton11_Click() {
    photoFlow_.remove();
}

void Form1::PushButton13_Click() {
    Guard g(reporter_, windowTag("PushButton13_Click"));
    // Without a contact there is no card to remove a line from.
    if (contacts_.isEmpty())
        return;
    bool removed = false;
    g(100, [&] { removed = otherLines_.remove(ListView3->currentIndex().row()); });
    if (removed)
        g(102, [&] { rebuildNow(); });
}

void Form1::PushButton2_Click() {
    recordAdded(QStringLiteral("Import"), [&] { imports_.chooseFile(); });
}

void Form1::importFiles(const QStringList& paths) {
    recordAdded(QStringLiteral("Import"), [&] { imports_.importFiles(paths); });
}

void Form1::PushButton1_Click() {
    if (const std::optional<QString> target = saves_.save()) {
        changes_.noteSaved(*target);
        undo_->setClean();
        showChanges();
    }
}

void Form1::PushButton3_Click() {
    Guard g(reporter_, windowTag("PushButton3_Click"));
    if (!g.test(100, [&] { return !contacts_.isEmpty(); }))
        return;
    std::optional<QString> address;
    g(102, [&] { address = dialogs_.InputBox(appTitle_, QStringLiteral("Enter new email: ")); });
    if (!address || address->isEmpty())
        return;
    // Both answers come before anything is added, so Cancel at either adds nothing.
    std::optional<QString> type;
    g(104, [&] {
        type = dialogs_.InputBox(appTitle_,
                                 QStringLiteral("Enter email type (Internet, Work, Home, etc): "));
    });
    if (!type)
        return;
    if (type->isEmpty())
        type = QStringLiteral("INTERNET");
    g(106, [&] {
        const FillingScope filling(*this);
        Combo1->addItem(*address);
    });
    g(108, [&] {
        const FillingScope filling(*this);
        Combo2->addItem(*type);
    });
    // The holder follows the lists, so a new address reaches the card at once.
    g(110, [&] { setHolder(*address); });
}

void Form1::PushButton9_Click() {
    Guard g(reporter_, windowTag("PushButton9_Click"));
    if (!g.test(100, [&] { return !contacts_.isEmpty(); }))
        return;
    int selected = -1;
    g(102, [&] { selected = Combo1->currentIndex(); });
    if (selected < 0)
        return;
    {
        const FillingScope filling(*this);
        g(104, [&] {
            if (selected >= Combo2->count())
                throw Failure(QStringLiteral("Invalid procedure call"));
            Combo2->removeItem(selected);
        });
        g(106, [&] { Combo1->removeItem(selected); });
    }
    g(108, [&] { setHolder(Combo1->count() > 0 ? Combo1->itemText(Combo1->count() - 1) : ""); });
}

void Form1::setHolder(const QString& address) {
    {
        const FillingScope filling(*this);
        txtTextbox[HiddenEmail]->setText(address);
    }
    rebuildNow();
}

void Form1::PushButton5_Click() {
    Guard g(reporter_, windowTag("PushButton5_Click"));
    if (!g.test(100, [&] { return !contacts_.isEmpty(); }))
        return;
    // Only a contact that the user sees selected: while the find bar filters, the current
    // contact may be one the list does not show.
    qsizetype row = -1;
    g(102, [&] { row = finder_->selectedContactRow(); });
    if (row < 0)
        return;
    // Asks nothing: undo brings the contact back. The step shows the row that takes its place,
    // or an empty form when none is left.
    g(104, [&] { undo_->remove(QStringLiteral("Delete Contact"), row, 1, row); });
}

void Form1::PushButton6_Click() {
    Guard g(reporter_, windowTag("PushButton6_Click"));
    g(100, [&] { ClearData(); });
    g(102, [&] {
        undo_->remove(QStringLiteral("Clear List"), 0, contacts_.count(), contacts_.currentRow());
    });
}

void Form1::PushButton7_Click() {
    recordAdded(QStringLiteral("Load Samples"), [&] {
        const qsizetype before = contacts_.count();
        samples_.load();
        if (contacts_.count() > before) {
            changes_.noteFilesAdded(before == 0);
            addedMatchesFile_ = before == 0;
        }
    });
}

void Form1::PushButton14_Click() {
    Guard g(reporter_, windowTag("PushButton14_Click"));
    recordAdded(QStringLiteral("New Contact"),
                [&] { g(100, [&] { contacts_.append(newContact(clock_(), reporter_)); }); });
    g(102, [&] {
        showContactRow(contacts_.count() - 1);
        TabControl1->setCurrentIndex(0);
        txtTextbox[LastName]->setFocus(Qt::OtherFocusReason);
    });
}

void Form1::PushButton15_Click() {
    if (!duplicates_) {
        duplicates_ = new DuplicatesWindow({.context = flowContext(),
                                            .contacts = contacts_,
                                            .undo = *undo_,
                                            .settings = settings_,
                                            .clock = [this] { return clock_(); }},
                                           this);
        duplicates_->setWindowModality(Qt::WindowModal);
    }
    duplicates_->refresh();
    duplicates_->show();
    duplicates_->raise();
}

void Form1::undo() {
    undo_->undoAction()->trigger();
}

void Form1::redo() {
    undo_->redoAction()->trigger();
}

UndoFlow::Window Form1::undoWindow() {
    return {.window = *this, .contacts = contacts_, .show = [this](qsizetype row) {
                showContactRow(row);
            }};
}

void Form1::connectUndo() {
    connect(undo_.get(), &UndoFlow::cleanChanged, this, [this](bool clean) {
        changes_.setUnsaved(!clean);
        showChanges();
    });
    connect(&contacts_, &ContactList::currentRowChanged, undo_.get(), &UndoFlow::endTyping);
    for (QLineEdit* box : findChildren<QLineEdit*>())
        undo_->watchBox(box);
    for (QWidget* box : std::initializer_list<QWidget*>{txtNotes, Combo1, Combo2, dtpBirthday})
        undo_->watchBox(box);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this, &Form1::listMenu);
}

void Form1::listMenu() {
    QMenu menu(this);
    QAction* add = menu.addAction(QStringLiteral("New Contact"), this, &Form1::PushButton14_Click);
    add->setShortcut(QKeySequence::New);
    QAction* remove =
        menu.addAction(QStringLiteral("Delete Selected Contact"), this, &Form1::PushButton5_Click);
    remove->setShortcut(QKeySequence::Delete);
    remove->setEnabled(finder_->selectedContactRow() >= 0);
    QAction* duplicates =
        menu.addAction(QStringLiteral("Find Duplicates"), this, &Form1::PushButton15_Click);
    duplicates->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    menu.addSeparator();
    menu.addAction(undo_->undoAction());
    menu.addAction(undo_->redoAction());
    // The menu's own keys work only while it is open; the window has its own for them.
    for (QAction* action : {add, remove, duplicates})
        action->setShortcutContext(Qt::WidgetShortcut);
    menu.exec(QCursor::pos());
}

void Form1::showContactRow(qsizetype row) {
    if (contacts_.isEmpty()) {
        // Nothing is left to show: the form must not keep a removed contact.
        ClearData();
        return;
    }
    if (row < 0 || row >= contacts_.count())
        row = std::max<qsizetype>(contacts_.currentRow(), 0);
    contacts_.setCurrentRow(row);
    finder_->reveal(row);
    LoadVCFData(contacts_.at(row).card);
}

void Form1::recordAdded(const QString& text, const std::function<void()>& add) {
    const qsizetype before = contacts_.count();
    const qsizetype current = contacts_.currentRow();
    addedMatchesFile_ = false;
    add();
    if (contacts_.count() <= before)
        return;
    undo_->added(text, before, contacts_.count() - before, current);
    if (addedMatchesFile_)
        undo_->setClean();
}

void Form1::openFindBar() {
    finder_->open();
}

void Form1::closeFindBar() {
    finder_->close();
}

int Form1::shownRowOf(qsizetype contactRow) const {
    return finder_->shownRowOf(contactRow);
}

qsizetype Form1::contactRowShownAt(int shownRow) const {
    return finder_->contactRowShownAt(shownRow);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFilePaths(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    recordAdded(QStringLiteral("Import"), [&] {
        imports_.dropFiles(localFilePaths(*event->mimeData()), isOnPhotosPage(event->position()));
    });
}

bool Form1::isOnPhotosPage(const QPointF& position) const {
    // Without a contact the page takes no picture: it would have no card to go to.
    const QWidget* page = TabControl1->widget(2);
    return TabControl1->currentWidget() == page && page->isEnabled() &&
           page->rect().contains(page->mapFrom(this, position.toPoint()));
}

}  // namespace pennacle
