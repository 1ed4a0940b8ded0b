#include "contacts/contactlist.h"

#include <algorithm>
#include <iterator>

namespace pennacle {

ContactList::ContactList(QObject* parent) : QAbstractTableModel(parent) {}

void ContactList::append(std::vector<ContactEntry> entries) {
    insert(count(), std::move(entries));
}

void ContactList::insert(qsizetype first, std::vector<ContactEntry> entries) {
    if (entries.empty() || first < 0 || first > count())
        return;
    const auto n = static_cast<qsizetype>(entries.size());
    const bool wasEmpty = rows_.empty();
    beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + n) - 1);
    if (wasEmpty) {
        rows_ = std::move(entries);
    } else {
        rows_.insert(rows_.begin() + first, std::make_move_iterator(entries.begin()),
                     std::make_move_iterator(entries.end()));
    }
    endInsertRows();
    if (wasEmpty)
        changeCurrent(0);
    else if (first <= current_)
        changeCurrent(current_ + n);
}

std::vector<ContactEntry> ContactList::take(qsizetype first, qsizetype n) {
    if (first < 0 || n <= 0 || first + n > count())
        return {};
    std::vector<ContactEntry> taken;
    if (n == count()) {
        beginResetModel();
        taken = std::move(rows_);
        rows_ = {};
        endResetModel();
        changeCurrent(-1);
        return taken;
    }
    beginRemoveRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + n) - 1);
    const auto from = rows_.begin() + first;
    taken.assign(std::make_move_iterator(from), std::make_move_iterator(from + n));
    rows_.erase(from, from + n);
    endRemoveRows();
    if (current_ >= first + n) {
        changeCurrent(current_ - n);
    } else if (current_ >= first) {
        // The row that moved into the removed place, or the new last row.
        current_ = -1;
        changeCurrent(std::min(first, count() - 1));
    }
    return taken;
}

void ContactList::append(ContactEntry entry) {
    std::vector<ContactEntry> one;
    one.push_back(std::move(entry));
    append(std::move(one));
}

void ContactList::setCard(qsizetype row, CardBytes card) {
    rows_.at(static_cast<size_t>(row)).card = std::move(card);
    const QModelIndex cell = index(static_cast<int>(row), CardColumn);
    emit dataChanged(cell, cell);
}

void ContactList::setServerHref(qsizetype row, QString href) {
    rows_.at(static_cast<size_t>(row)).serverHref = std::move(href);
}

void ContactList::setCard(qsizetype row, CardBytes card, QString name) {
    ContactEntry& entry = rows_.at(static_cast<size_t>(row));
    entry.card = std::move(card);
    // One signal for the row either way: the find bar remakes its search text once.
    const bool renamed = entry.Text != name;
    if (renamed)
        entry.Text = std::move(name);
    emit dataChanged(index(static_cast<int>(row), renamed ? NameColumn : CardColumn),
                     index(static_cast<int>(row), CardColumn));
}

void ContactList::remove(qsizetype row) {
    take(row, 1);
}

void ContactList::clear() {
    if (rows_.empty())
        return;
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
    changeCurrent(-1);
}

void ContactList::setCurrentRow(qsizetype row) {
    if (row >= 0 && row < count())
        changeCurrent(row);
}

void ContactList::changeCurrent(qsizetype row) {
    if (row == current_)
        return;
    current_ = row;
    emit currentRowChanged(row);
}

int ContactList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ContactList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ContactList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const ContactEntry& entry = rows_[static_cast<size_t>(index.row())];
    if (index.column() == NameColumn)
        return entry.Text;
    return role == Qt::DisplayRole ? QVariant(entry.card.text()) : QVariant();
}

QVariant ContactList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
        case NameColumn:
            return QStringLiteral("Name");
        case CardColumn:
            return QStringLiteral("VCF Data");
        default:
            return {};
    }
}

}  // namespace pennacle
