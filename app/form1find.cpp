// Finding contacts: the find bar below the contact list, and the list showing only matches.
#include "app/findbar.h"
#include "app/form1.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeView>

namespace pennacle {

namespace {

// The bar's height and the gap above it, in twips: both are taken from the list's height.
constexpr int kFindBarHeight = 360;
constexpr int kFindBarGap = 60;

}  // namespace

void Form1::createFindBar() {
    listPlace_ = ListView1->geometry();
    findBar_ = new FindBar(this);
    findBar_->hide();
    const QRect bar = fromTwips(0, 0, 0, kFindBarHeight);
    findBar_->setGeometry(listPlace_.left(), listPlace_.bottom() + 1 - bar.height(),
                          listPlace_.width(), bar.height());
    QWidget::setTabOrder(ListView1, findBar_->textBox());
    findBar_->watchForEscape(ListView1);

    connect(findBar_, &FindBar::queryChanged, this, &Form1::filterList);
    connect(findBar_, &FindBar::firstMatchPicked, this, &Form1::pickFirstMatch);
    connect(findBar_, &FindBar::listEntered, this, &Form1::enterList);
    connect(findBar_, &FindBar::closeRequested, this, &Form1::closeFindBar);
    connect(&filter_, &ContactFilter::countsChanged, this, &Form1::showFindCounts);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &Form1::openFindBar);
}

void Form1::openFindBar() {
    if (!findBarOpen()) {
        {
            const QSignalBlocker quiet(findBar_->textBox());
            findBar_->textBox()->clear();
        }
        filter_.setQuery({});
        const int room = fromTwips(0, 0, 0, kFindBarHeight + kFindBarGap).height();
        ListView1->setGeometry(listPlace_.adjusted(0, 0, 0, -room));
        showInList(&filter_);
        showCurrentContactRow(contacts_.currentRow());
        showFindCounts();
        findBar_->show();
    }
    findBar_->textBox()->setFocus(Qt::ShortcutFocusReason);
    findBar_->textBox()->selectAll();
}

void Form1::closeFindBar() {
    if (!findBarOpen())
        return;
    const bool wasFocused = findBar_->isAncestorOf(QApplication::focusWidget());
    findBar_->hide();
    ListView1->setGeometry(listPlace_);
    showInList(&contacts_);
    showCurrentContactRow(contacts_.currentRow());
    ListView1->scrollTo(ListView1->currentIndex(), QAbstractItemView::PositionAtCenter);
    if (wasFocused)
        ListView1->setFocus(Qt::OtherFocusReason);
}

bool Form1::findBarOpen() const {
    return ListView1->model() == &filter_;
}

void Form1::showInList(QAbstractItemModel* model) {
    // The window's handlers stay connected to the list's first selection model, which only
    // follows the list to its new model.
    QItemSelectionModel* kept = ListView1->selectionModel();
    ListView1->setModel(model);
    QItemSelectionModel* made = ListView1->selectionModel();
    if (kept && made != kept) {
        kept->reset();  // nothing of the old model stays selected or current
        kept->setModel(model);
        ListView1->setSelectionModel(kept);
        delete made;
    }
    ListView1->setColumnWidth(ContactList::NameColumn, fromTwips(0, 0, 7000, 0).width());
    // One twip is less than a pixel: the card text takes no visible room.
    ListView1->setColumnHidden(ContactList::CardColumn, true);
}

void Form1::filterList(const QString& text) {
    filter_.setQuery(text);
    // The current contact stays current, selected when it is among the matches.
    showCurrentContactRow(contacts_.currentRow());
    if (!ListView1->currentIndex().isValid())
        ListView1->scrollToTop();
}

void Form1::pickFirstMatch() {
    if (filter_.rowCount() > 0)
        ListView1->setCurrentIndex(filter_.index(0, 0));
}

void Form1::enterList() {
    if (!ListView1->currentIndex().isValid())
        pickFirstMatch();
    ListView1->setFocus(Qt::TabFocusReason);
}

void Form1::showFindCounts() {
    if (findBar_)
        findBar_->showCounts(filter_.shownCount(), contacts_.count());
}

qsizetype Form1::contactRowOf(const QModelIndex& listIndex) const {
    if (!listIndex.isValid())
        return -1;
    return listIndex.model() == &filter_ ? filter_.contactRow(listIndex.row()) : listIndex.row();
}

QModelIndex Form1::listIndexOf(qsizetype contactRow) const {
    if (contactRow < 0)
        return {};
    if (!findBarOpen())
        return contacts_.index(int(contactRow), 0);
    const int shown = filter_.shownRow(contactRow);
    return shown < 0 ? QModelIndex() : filter_.index(shown, 0);
}

}  // namespace pennacle
