#include "app/findflow.h"

#include "app/findbar.h"
#include "app/windowcontrols.h"
#include "cards/searchtext.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
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
      filter_(contacts, contactSearchText),
      sorted_(filter_, contacts) {
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
    // A sorted list moves an edited contact to its new place.
    connect(&sorted_, &QAbstractItemModel::layoutAboutToBeChanged, this, follow);
    connect(&sorted_, &QAbstractItemModel::layoutChanged, this, stopFollowing);
    connect(list_.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!following_ && current.isValid())
                    pick_(int(contactRowOf(current)));
            });
}

void FindFlow::createBar(QWidget& window) {
    // The bar and the count share the foot of the list's place, so opening the bar moves
    // neither the list's rows nor anything else.
    listPlace_ = list_.geometry();
    const int room = fromTwips(0, 0, 0, kFindBarHeight + kFindBarGap).height();
    list_.setGeometry(listPlace_.adjusted(0, 0, 0, -room));
    QWidget& parent = *list_.parentWidget();
    bar_ = new FindBar(&parent);
    bar_->hide();
    const QRect bar = fromTwips(0, 0, 0, kFindBarHeight);
    bar_->setGeometry(listPlace_.left(), listPlace_.bottom() + 1 - bar.height(), listPlace_.width(),
                      bar.height());
    createCount(parent);
    QWidget::setTabOrder(&list_, bar_->textBox());
    bar_->watchForEscape(&list_);

    connect(bar_, &FindBar::queryChanged, this, &FindFlow::filterList);
    connect(bar_, &FindBar::firstMatchPicked, this, &FindFlow::pickFirstMatch);
    connect(bar_, &FindBar::listEntered, this, &FindFlow::enterList);
    connect(bar_, &FindBar::closeRequested, this, &FindFlow::close);
    connect(&filter_, &ContactFilter::countsChanged, this, &FindFlow::showCounts);
    auto* find = new QShortcut(QKeySequence::Find, &window);
    connect(find, &QShortcut::activated, this, &FindFlow::open);

    QHeaderView* header = list_.header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicatorClearable(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setToolTip(QStringLiteral("Sort by name; the list's order is kept for saving"));
    connect(header, &QHeaderView::sortIndicatorChanged, this, &FindFlow::sortBy);
}

void FindFlow::createCount(QWidget& parent) {
    count_ = new QLabel(&parent);
    count_->setObjectName(QStringLiteral("ContactCount"));
    count_->setGeometry(bar_->geometry());
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    count_->setToolTip(QStringLiteral("Ctrl+F finds contacts"));
    showCounts();
}

void FindFlow::sortBy(int column, Qt::SortOrder order) {
    if (showingRows_)
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    showRows();
    showCurrentContactRow(contacts_.currentRow());
    list_.scrollTo(list_.currentIndex(), QAbstractItemView::PositionAtCenter);
}

void FindFlow::showRows() {
    showingRows_ = true;
    if (sortColumn_ >= 0) {
        sorted_.sort(sortColumn_, sortOrder_);
        showInList(list_, sorted_);
    } else {
        showInList(list_, open_ ? static_cast<QAbstractItemModel&>(filter_) : contacts_);
    }
    // A new model may take the header's mark away.
    list_.header()->setSortIndicator(sortColumn_, sortOrder_);
    showingRows_ = false;
}

void FindFlow::open() {
    if (!isOpen()) {
        {
            const QSignalBlocker quiet(bar_->textBox());
            bar_->textBox()->clear();
        }
        filter_.setQuery({});
        open_ = true;
        showRows();
        showCurrentContactRow(contacts_.currentRow());
        showCounts();
        count_->hide();
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
    count_->show();
    open_ = false;
    // Closed, the filter shows every contact: the sorted list is over it.
    filter_.setQuery({});
    showRows();
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
    return open_;
}

int FindFlow::shownRowOf(qsizetype contactRow) const {
    const QModelIndex shown = listIndexOf(contactRow);
    return shown.isValid() ? shown.row() : -1;
}

qsizetype FindFlow::contactRowShownAt(int shownRow) const {
    return contactRowOf(list_.model()->index(shownRow, 0));
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
    if (list_.model()->rowCount() > 0)
        list_.setCurrentIndex(list_.model()->index(0, 0));
}

void FindFlow::enterList() {
    if (!list_.currentIndex().isValid())
        pickFirstMatch();
    list_.setFocus(Qt::TabFocusReason);
}

void FindFlow::showCounts() {
    if (bar_)
        bar_->showCounts(filter_.shownCount(), contacts_.count());
    if (count_)
        count_->setText(contactCountText(contacts_.count()));
}

qsizetype FindFlow::contactRowOf(const QModelIndex& listIndex) const {
    QModelIndex index = listIndex;
    if (index.model() == &sorted_)
        index = sorted_.mapToSource(index);
    if (!index.isValid())
        return -1;
    return index.model() == &filter_ ? filter_.contactRow(index.row()) : index.row();
}

QModelIndex FindFlow::listIndexOf(qsizetype contactRow) const {
    if (contactRow < 0 || contactRow >= contacts_.count())
        return {};
    if (list_.model() == &contacts_)
        return contacts_.index(int(contactRow), 0);
    const int shown = filter_.shownRow(contactRow);
    const QModelIndex filtered = shown < 0 ? QModelIndex() : filter_.index(shown, 0);
    return list_.model() == &sorted_ ? sorted_.mapFromSource(filtered) : filtered;
}

}  // namespace pennacle
