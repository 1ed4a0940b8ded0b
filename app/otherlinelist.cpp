#include "app/otherlinelist.h"

#include "cards/propertyvalues.h"

namespace pennacle {

void OtherLineList::setLines(OtherLines lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

bool OtherLineList::remove(qsizetype row) {
    if (row < 0 || row >= lines_.count())
        return false;
    beginRemoveRows(QModelIndex(), int(row), int(row));
    lines_.remove(row);
    endRemoveRows();
    return true;
}

int OtherLineList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.count());
}

QVariant OtherLineList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lines_.count())
        return {};
    if (role == Qt::DisplayRole)
        return shownOtherLine(lines_.at(index.row()));
    if (role == Qt::ToolTipRole)
        return lines_.at(index.row()).toString();
    return {};
}

}  // namespace pennacle
