#include "contacts/nameorder.h"

#include "contacts/searchfold.h"

#include <algorithm>

namespace pennacle {

NameOrder::NameOrder(ContactFilter& filter, const ContactList& contacts, QObject* parent)
    : QSortFilterProxyModel(parent), filter_(filter), contacts_(contacts) {
    setSourceModel(&filter);
}

QVariant NameOrder::headerData(int section, Qt::Orientation orientation, int role) const {
    // A first click on "Name" sorts from A.
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool NameOrder::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return keyOf(left) < keyOf(right);
}

const QByteArray& NameOrder::keyOf(const QModelIndex& sourceIndex) const {
    // Read straight from the list: a sort compares a hundred thousand names many times over.
    const qsizetype row = filter_.contactRow(sourceIndex.row());
    if (size_t(row) >= keys_.size())
        keys_.resize(size_t(contacts_.count()));
    const QString& name = contacts_.at(row).Text;
    Key& key = keys_[size_t(row)];
    // The cache holds the text it shares, so its memory cannot be reused by another name.
    if (!key.name.isSharedWith(name) || key.name.size() != name.size()) {
        key.name = name;
        key.folded = foldForSearch(name);
    }
    return key.folded;
}

}  // namespace pennacle
