#include "app/formview.h"

#include "app/flowcontext.h"
#include "cards/loader.h"
#include "core/linebreaks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeView>

namespace pennacle {

namespace {

// The notes box breaks lines with LF; the form value with CR LF.
QString notesToForm(QString text) {
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// Raises FillingForm for its lifetime and restores what it was, so nesting is safe.
class FillingScope {
public:
    explicit FillingScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FillingScope() { flag_ = before_; }
    FillingScope(const FillingScope&) = delete;
    FillingScope& operator=(const FillingScope&) = delete;

private:
    bool& flag_;
    bool before_;
};

}  // namespace

CardForm FormView::read() const {
    const WindowControls& c = window_.controls;
    CardForm form;
    for (size_t i = 0; i < c.txtTextbox.size(); ++i)
        form.txtTextbox[i] = c.txtTextbox[i]->text();
    form[Notes] = notesToForm(c.txtNotes->toPlainText());
    for (size_t k = 0; k < c.Check1.size(); ++k)
        form.Check1[k] = c.Check1[k]->isChecked();
    form.Combo1.reserve(c.Combo1->count());
    for (int i = 0; i < c.Combo1->count(); ++i)
        form.Combo1 << c.Combo1->itemText(i);
    form.Combo2.reserve(c.Combo2->count());
    for (int i = 0; i < c.Combo2->count(); ++i)
        form.Combo2 << c.Combo2->itemText(i);
    form.Combo1Index = c.Combo1->currentIndex();
    form.dtpBirthday = c.dtpBirthday->date();
    form.photos = photos_.rows();
    const QModelIndex photo = c.ListView2->currentIndex();
    form.photoIndex = photo.isValid() ? photo.row() + 1 : 0;
    form.otherLines = otherLines_.lines();
    form.otherParts = otherParts_;
    return form;
}

void FormView::show(const CardForm& form) {
    const WindowControls& c = window_.controls;
    for (size_t i = 0; i < c.txtTextbox.size(); ++i) {
        c.txtTextbox[i]->setText(form.txtTextbox[i]);
        // Long values show their beginning, as in a freshly opened form.
        c.txtTextbox[i]->setCursorPosition(0);
    }
    c.txtNotes->setPlainText(withLfBreaks(form[Notes]));
    for (size_t k = 0; k < c.Check1.size(); ++k)
        c.Check1[k]->setChecked(form.Check1[k]);
    c.dtpBirthday->setDate(form.dtpBirthday);
    c.Combo1->clear();
    c.Combo1->addItems(form.Combo1);
    c.Combo1->setCurrentIndex(form.Combo1Index < c.Combo1->count() ? form.Combo1Index : -1);
    c.Combo2->clear();
    c.Combo2->addItems(form.Combo2);
    const int address = c.Combo1->currentIndex();
    c.Combo2->setCurrentIndex(address < c.Combo2->count() ? address : -1);
    c.Combo1->lineEdit()->setCursorPosition(0);
    c.Combo2->lineEdit()->setCursorPosition(0);
    otherLines_.setLines(form.otherLines);
    otherParts_ = form.otherParts;
    photos_.setRows(form.photos);
    if (form.photoIndex > 0 && form.photoIndex <= photos_.count()) {
        c.ListView2->setCurrentIndex(photos_.index(form.photoIndex - 1, 0));
    }
}

void FormView::clear() {
    const WindowControls& c = window_.controls;
    Guard g(window_.reporter, windowTag("ClearData"));
    const FillingScope filling(FillingForm);
    g(100, [&] {
        for (QLineEdit* box : c.txtTextbox)
            box->clear();
        c.txtNotes->clear();
    });
    g(102, [&] {
        for (QCheckBox* check : c.Check1)
            check->setChecked(false);
    });
    g(104, [&] { c.dtpBirthday->setDate(noBirthday()); });
    g(106, [&] {
        c.Combo1->clear();
        c.Combo2->clear();
    });
    g(108, [&] { photos_.clear(); });
    g(110, [&] { c.Picture1->clear(); });
    g(112, [&] {
        otherLines_.clear();
        otherParts_ = OtherParts();
    });
}

void FormView::load(const CardBytes& card) {
    clear();
    const FillingScope filling(FillingForm);
    // The engine's loader reports its own steps under this procedure's name and numbering;
    // the window numbers its own.
    const CardForm form = loadCardForm(card, window_.reporter);
    Guard g(window_.reporter, windowTag("LoadVCFData"));
    g(100, [&] { show(form); });
    g(102, [&] {
        if (photos_.count() > 0) {
            window_.controls.ListView2->setCurrentIndex(photos_.index(0, 0));
            window_.previewPhoto(0);
        }
    });
    window_.controls.TabControl1->setEnabled(true);
}

void FormView::quietly(const std::function<void()>& change) {
    const FillingScope filling(FillingForm);
    change();
}

int FormView::selectedPhotoRow() const {
    const QModelIndexList selected = window_.controls.ListView2->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void FormView::selectPhotoRow(int row) {
    if (row < 0) {
        window_.controls.ListView2->selectionModel()->clear();
    } else {
        window_.controls.ListView2->setCurrentIndex(photos_.index(row, 0));
    }
}

bool FormView::removeSelectedLine() {
    return otherLines_.remove(window_.controls.ListView3->currentIndex().row());
}

void FormView::enablePages(bool contact) {
    const QTabWidget* tabs = window_.controls.TabControl1;
    for (int page = 0; page < tabs->count(); ++page)
        tabs->widget(page)->setEnabled(contact);
}

bool FormView::isOnPhotosPage(const QWidget& window, const QPointF& position) const {
    const QTabWidget* tabs = window_.controls.TabControl1;
    const QWidget* page = tabs->widget(2);
    return tabs->currentWidget() == page && page->isEnabled() &&
           page->rect().contains(page->mapFrom(&window, position.toPoint()));
}

}  // namespace pennacle
