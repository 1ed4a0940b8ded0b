#include "app/findflow.h"

#include "app/findbar.h"
#include "app/windowcontrols.h"
#include "cards/searchtext.h"

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

void showInList(QTreeView& list, QAbstractItemModel& model) {
    // The pick handler stays connected to the list's first selection model, which only follows
    // the list to its new model.
    QItemSelectionModel* kept = list.selectionModel();
    list.setModel(&model);
    QItemSelectionModel* made = list.selectionModel();
    if (kept && made != kept) {
        kept->reset();  // nothing of the old model stays selected or current
        kept->setModel(&model);
        list.setSelectionModel(kept);
        delete made;
    }
    list.setColumnWidth(ContactList::NameColumn, fromTwips(0, 0, 7000, 0).width());
    // One twip is less than a pixel: the card text takes no visible room.
    list.setColumnHidden(ContactList::CardColumn, true);
}

FindFlow::FindFlow(QWidget& window, QTreeView& list, ContactList& contacts, PickContact pick)
    : list_(list),
      contacts_(contacts),
      pick_(std::move(pick)),
      filter_(contacts, contactSearchText) {
    followContacts();
    createBar(window);
}

void FindFlow::followContacts() {
    connect(&contacts_, &ContactList::currentRowChanged, this, &FindFlow::showCurrentContactRow);
    // While rows go, the view moves its own current row; only the list decides which is current.
    const auto follow = [this] { following_ = true; };
    const auto stopFollowing = [this] { following_ = false; };
    connect(&contacts_, &QAbstractItemModel::rowsAboutToBeRemoved, this, follow);
    connect(&contacts_, &QAbstractItemModel::rowsRemoved, this, stopFollowing);
    connect(&contacts_, &QAbstractItemModel::modelAboutToBeReset, this, follow);
    connect(&contacts_, &QAbstractItemModel::modelReset, this, stopFollowing);
    connect(list_.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!following_ && current.isValid())
                    pick_(int(contactRowOf(current)));
            });
}

void FindFlow::createBar(QWidget& window) {
    listPlace_ = list_.geometry();
    bar_ = new FindBar(&window);
    bar_->hide();
    const QRect bar = fromTwips(0, 0, 0, kFindBarHeight);
    bar_->setGeometry(listPlace_.left(), listPlace_.bottom() + 1 - bar.height(), listPlace_.width(),
                      bar.height());
    QWidget::setTabOrder(&list_, bar_->textBox());
    bar_->watchForEscape(&list_);

    connect(bar_, &FindBar::queryChanged, this, &FindFlow::filterList);
    connect(bar_, &FindBar::firstMatchPicked, this, &FindFlow::pickFirstMatch);
    connect(bar_, &FindBar::listEntered, this, &FindFlow::enterList);
    connect(bar_, &FindBar::closeRequested, this, &FindFlow::close);
    connect(&filter_, &ContactFilter::countsChanged, this, &FindFlow::showCounts);
    auto* find = new QShortcut(QKeySequence::Find, &window);
    connect(find, &QShortcut::activated, this, &FindFlow::open);
}

void FindFlow::open() {
    if (!isOpen()) {
        {
            const QSignalBlocker quiet(bar_->textBox());
            bar_->textBox()->clear();
        }
        filter_.setQuery({});
        const int room = fromTwips(0, 0, 0, kFindBarHeight + kFindBarGap).height();
        list_.setGeometry(listPlace_.adjusted(0, 0, 0, -room));
        showInList(list_, filter_);
        showCurrentContactRow(contacts_.currentRow());
        showCounts();
        bar_->show();
    }
    bar_->textBox()->setFocus(Qt::ShortcutFocusReason);
    bar_->textBox()->selectAll();
}

void FindFlow::close() {
    if (!isOpen())
        return;
    const bool wasFocused = bar_->isAncestorOf(QApplication::focusWidget());
    bar_->hide();
    list_.setGeometry(listPlace_);
    showInList(list_, contacts_);
    showCurrentContactRow(contacts_.currentRow());
    list_.scrollTo(list_.currentIndex(), QAbstractItemView::PositionAtCenter);
    if (wasFocused)
        list_.setFocus(Qt::OtherFocusReason);
}

qsizetype FindFlow::selectedContactRow() const {
    const QModelIndexList selected = list_.selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : contactRowOf(selected.first());
}

void FindFlow::reveal(qsizetype row) {
    if (isOpen() && row >= 0 && !listIndexOf(row).isValid())
        bar_->textBox()->clear();
}

bool FindFlow::isOpen() const {
    return list_.model() == &filter_;
}

void FindFlow::showCurrentContactRow(qsizetype row) {
    following_ = true;
    // While the find bar is open the current contact may be one the list does not show.
    const QModelIndex shown = listIndexOf(row);
    if (!shown.isValid()) {
        list_.selectionModel()->clear();
    } else {
        list_.setCurrentIndex(shown);
    }
    following_ = false;
}

void FindFlow::filterList(const QString& text) {
    filter_.setQuery(text);
    // The current contact stays current, selected when it is among the matches.
    showCurrentContactRow(contacts_.currentRow());
    if (!list_.currentIndex().isValid())
        list_.scrollToTop();
}

void FindFlow::pickFirstMatch() {
    if (filter_.rowCount() > 0)
        list_.setCurrentIndex(filter_.index(0, 0));
}

void FindFlow::enterList() {
    if (!list_.currentIndex().isValid())
        pickFirstMatch();
    list_.setFocus(Qt::TabFocusReason);
}

void FindFlow::showCounts() {
    if (bar_)
        bar_->showCounts(filter_.shownCount(), contacts_.count());
}

qsizetype FindFlow::contactRowOf(const QModelIndex& listIndex) const {
    if (!listIndex.isValid())
        return -1;
    return listIndex.model() == &filter_ ? filter_.contactRow(listIndex.row()) : listIndex.row();
}

QModelIndex FindFlow::listIndexOf(qsizetype contactRow) const {
    if (contactRow < 0)
        return {};
    if (!isOpen())
        return contacts_.index(int(contactRow), 0);
    const int shown = filter_.shownRow(contactRow);
    return shown < 0 ? QModelIndex() : filter_.index(shown, 0);
}

}  // namespace pennacle
