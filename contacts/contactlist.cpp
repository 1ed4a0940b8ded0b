#include "contacts/contactlist.h"

#include <algorithm>
#include <iterator>

namespace pennacle {

ContactList::ContactList(QObject* parent) : QAbstractTableModel(parent) {}

void ContactList::append(std::vector<ContactEntry> entries) {
    if (entries.empty())
        return;
    const bool wasEmpty = rows_.empty();
    const int first = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
    if (wasEmpty) {
        rows_ = std::move(entries);
    } else {
        rows_.reserve(rows_.size() + entries.size());
        std::move(entries.begin(), entries.end(), std::back_inserter(rows_));
    }
    endInsertRows();
    if (wasEmpty)
        changeCurrent(0);
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
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), static_cast<int>(row), static_cast<int>(row));
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    if (rows_.empty()) {
        changeCurrent(-1);
    } else if (row < current_) {
        changeCurrent(current_ - 1);
    } else if (row == current_) {
        // The row that moved into the removed place, or the new last row.
        current_ = -1;
        changeCurrent(std::min(row, count() - 1));
    }
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
