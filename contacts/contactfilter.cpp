#include "contacts/contactfilter.h"

#include "contacts/searchfold.h"

#include <algorithm>
#include <numeric>
#include <span>

namespace pennacle {

ContactFilter::ContactFilter(ContactList& contacts, SearchText searchText, QObject* parent)
    : QAbstractProxyModel(parent), contacts_(contacts), searchText_(std::move(searchText)) {
    QAbstractProxyModel::setSourceModel(&contacts);
    connect(&contacts, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { contactsInserted(first, last); });
    connect(
        &contacts, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex&, int first, int last) { contactsAboutToBeRemoved(first, last); });
    connect(&contacts, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { contactsRemoved(first, last); });
    connect(&contacts, &QAbstractItemModel::dataChanged, this, &ContactFilter::contactsChanged);
    connect(&contacts, &QAbstractItemModel::modelAboutToBeReset, this,
            &ContactFilter::beginResetModel);
    connect(&contacts, &QAbstractItemModel::modelReset, this, &ContactFilter::contactsReset);
    filterAll();
}

void ContactFilter::setQuery(QStringView query) {
    QByteArray folded = foldForSearch(query);
    if (folded == query_)
        return;
    // A query that holds the last one can only narrow its matches, unless a contact it did not
    // match has been edited since.
    const bool narrower = !query_.isEmpty() && folded.contains(query_) && !hiddenRowsChanged_;
    hiddenRowsChanged_ = false;
    beginResetModel();
    query_ = std::move(folded);
    if (query_.isEmpty()) {
        shown_.resize(texts_.size());
        std::iota(shown_.begin(), shown_.end(), 0);
    } else if (narrower) {
        shown_ = rowsHoldingQuery(texts_, query_, shown_);
    } else {
        showMatches();
    }
    endResetModel();
    emit countsChanged();
}

qsizetype ContactFilter::contactRow(int shownRow) const {
    return shownRow >= 0 && shownRow < rowCount() ? shown_[size_t(shownRow)] : -1;
}

int ContactFilter::shownRow(qsizetype contactRow) const {
    const auto at = firstShownFrom(int(contactRow));
    return at != shown_.end() && *at == contactRow ? int(at - shown_.begin()) : -1;
}

QModelIndex ContactFilter::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) {
        return {};
    }
    return createIndex(row, column);
}

QModelIndex ContactFilter::parent(const QModelIndex&) const {
    return {};
}

QModelIndex ContactFilter::sibling(int row, int column, const QModelIndex&) const {
    return index(row, column);
}

int ContactFilter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int ContactFilter::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : contacts_.columnCount();
}

bool ContactFilter::hasChildren(const QModelIndex& parent) const {
    return !parent.isValid() && !shown_.empty();
}

QModelIndex ContactFilter::mapToSource(const QModelIndex& proxyIndex) const {
    if (!proxyIndex.isValid() || proxyIndex.model() != this)
        return {};
    return contacts_.index(int(contactRow(proxyIndex.row())), proxyIndex.column());
}

QModelIndex ContactFilter::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!sourceIndex.isValid() || sourceIndex.model() != &contacts_)
        return {};
    const int row = shownRow(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant ContactFilter::headerData(int section, Qt::Orientation orientation, int role) const {
    // The columns are the list's own, also when no row is shown.
    return contacts_.headerData(section, orientation, role);
}

void ContactFilter::contactsInserted(int first, int last) {
    const int count = last - first + 1;
    texts_.insert(texts_.begin() + first, size_t(count), QByteArray());
    makeSearchTexts(size_t(first), size_t(last));
    const auto from = firstShownFrom(first);
    const int at = int(from - shown_.cbegin());
    for (auto row = shown_.begin() + at; row != shown_.end(); ++row)
        *row += count;
    std::vector<int> added;
    for (int row = first; row <= last; ++row) {
        if (matches(size_t(row)))
            added.push_back(row);
    }
    if (!added.empty()) {
        beginInsertRows(QModelIndex(), at, at + int(added.size()) - 1);
        shown_.insert(shown_.begin() + at, added.begin(), added.end());
        endInsertRows();
    }
    emit countsChanged();
}

void ContactFilter::contactsAboutToBeRemoved(int first, int last) {
    const auto begin = firstShownFrom(first);
    const auto end = firstShownFrom(last + 1);
    removingShown_ = begin != end;
    if (removingShown_) {
        beginRemoveRows(QModelIndex(), int(begin - shown_.cbegin()),
                        int(end - shown_.cbegin()) - 1);
    }
}

void ContactFilter::contactsRemoved(int first, int last) {
    const int count = last - first + 1;
    auto after = shown_.erase(firstShownFrom(first), firstShownFrom(last + 1));
    for (; after != shown_.end(); ++after)
        *after -= count;
    texts_.erase(texts_.begin() + first, texts_.begin() + last + 1);
    if (removingShown_) {
        removingShown_ = false;
        endRemoveRows();
    }
    emit countsChanged();
}

void ContactFilter::contactsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    const int top = topLeft.row();
    const int bottom = bottomRight.row();
    makeSearchTexts(size_t(top), size_t(bottom));
    const auto begin = firstShownFrom(top);
    const auto end = firstShownFrom(bottom + 1);
    hiddenRowsChanged_ |= end - begin < bottom - top + 1;
    if (begin != end) {
        emit dataChanged(index(int(begin - shown_.cbegin()), topLeft.column()),
                         index(int(end - shown_.cbegin()) - 1, bottomRight.column()));
    }
}

void ContactFilter::contactsReset() {
    filterAll();
    endResetModel();
    emit countsChanged();
}

void ContactFilter::filterAll() {
    texts_.assign(size_t(contacts_.count()), QByteArray());
    if (!texts_.empty())
        makeSearchTexts(0, texts_.size() - 1);
    showMatches();
}

void ContactFilter::showMatches() {
    shown_ = rowsHoldingQuery(texts_, query_);
}

void ContactFilter::makeSearchTexts(size_t first, size_t last) {
    const size_t count = last - first + 1;
    pennacle::makeSearchTexts(contacts_.entries().subspan(first, count), searchText_,
                              std::span(texts_).subspan(first, count));
}

bool ContactFilter::matches(size_t contactRow) const {
    return holdsQuery(texts_[contactRow], query_);
}

std::vector<int>::const_iterator ContactFilter::firstShownFrom(int contactRow) const {
    return std::lower_bound(shown_.cbegin(), shown_.cend(), contactRow);
}

}  // namespace pennacle
