// The window's controls wired to their handlers, and the commands that tie flows together.
#include "app/form1.h"

#include "cards/rebuild.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeView>

#include <optional>

namespace pennacle {

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
                if (!formView_.isFilling() && current.isValid())
                    ListView2_ItemClick(current.row());
            });

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

void Form1::rebuildTyped(int box) {
    if (formView_.isFilling())
        return;
    undo_->edit(box, [&] {
        std::optional<CardReplacement> rebuilt = rebuildCurrentCard(
            contacts_.entries(), contacts_.currentRow(), readForm(), clock_(), reporter_);
        if (rebuilt)
            contacts_.setCard(rebuilt->row, std::move(rebuilt->card), std::move(rebuilt->Text));
    });
}

void Form1::ListView1_ItemClick(int row) {
    if (row < 0 || row >= contacts_.count())
        return;
    contacts_.setCurrentRow(row);
    LoadVCFData(contacts_.at(row).card);
}

void Form1::PushButton13_Click() {
    Guard g(reporter_, windowTag("PushButton13_Click"));
    // Without a contact there is no card to remove a line from.
    if (contacts_.isEmpty())
        return;
    bool removed = false;
    g(100, [&] { removed = formView_.removeSelectedLine(); });
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
}

ListFlow::Window Form1::listWindow() {
    return {.window = *this,
            .list = *ListView1,
            .reporter = reporter_,
            .contacts = contacts_,
            .undo = *undo_,
            .finder = *finder_,
            .form = formView_,
            .newContact = [this] { PushButton14_Click(); },
            .deleteContact = [this] { PushButton5_Click(); },
            .showDuplicates = [this] { PushButton15_Click(); }};
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

void Form1::dropEvent(QDropEvent* event) {
    const bool onPhotosPage = formView_.isOnPhotosPage(*this, event->position());
    recordAdded(QStringLiteral("Import"), [&] { imports_.drop(*event, onPhotosPage); });
}

}  // namespace pennacle
