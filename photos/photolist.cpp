#include "photos/photolist.h"

namespace pennacle {

PhotoList::PhotoList(QObject* parent) : QAbstractTableModel(parent) {}

void PhotoList::setRows(std::vector<PhotoEntry> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void PhotoList::clear() {
    setRows({});
}

void PhotoList::append(PhotoEntry row) {
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    rows_.push_back(std::move(row));
    endInsertRows();
}

bool PhotoList::setRow(qsizetype row, PhotoEntry entry) {
    if (row < 0 || row >= count())
        return false;
    rows_[static_cast<size_t>(row)] = std::move(entry);
    emit dataChanged(index(static_cast<int>(row), 0),
                     index(static_cast<int>(row), ColumnCount - 1));
    return true;
}

bool PhotoList::remove(qsizetype row) {
    if (row < 0 || row >= count())
        return false;
    beginRemoveRows(QModelIndex(), static_cast<int>(row), static_cast<int>(row));
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return true;
}

int PhotoList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PhotoList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PhotoList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    const PhotoEntry& entry = rows_[static_cast<size_t>(index.row())];
    switch (index.column()) {
        case LabelColumn:
            return entry.PhotoLabel;
        case DataColumn:
            return entry.PhotoData;
        case TypeColumn:
            return entry.PhotoType;
        default:
            return {};
    }
}

QVariant PhotoList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
        case LabelColumn:
            return QStringLiteral("Photo");
        case DataColumn:
            return QStringLiteral("PhotoData");
        case TypeColumn:
            return QStringLiteral("PhotoType");
        default:
            return {};
    }
}

}  // namespace pennacle
