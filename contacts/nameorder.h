#pragma once

#include "contacts/contactfilter.h"

#include <QByteArray>
#include <QSortFilterProxyModel>
#include <QString>

#include <vector>

namespace pennacle {

// The contacts that the filter shows, sorted by the names the list shows them by, for display
// only: the list keeps its order. Names compare as the find bar folds them (case and accents
// ignored); equal names keep the list's order.
class NameOrder : public QSortFilterProxyModel {
    Q_OBJECT
public:
    NameOrder(ContactFilter& filter, const ContactList& contacts, QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    struct Key {
        QString name;  // shares the source's text while it is unchanged
        QByteArray folded;
    };
    const QByteArray& keyOf(const QModelIndex& sourceIndex) const;

    const ContactFilter& filter_;
    const ContactList& contacts_;
    // By contact row; an entry whose name no longer shares the source's text is made again.
    mutable std::vector<Key> keys_;
};

}  // namespace pennacle
