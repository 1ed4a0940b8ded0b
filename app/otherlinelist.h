#pragma once

#include "cards/cardform.h"

#include <QAbstractListModel>

namespace pennacle {

// The rows shown by `ListView3` on the "More" page: the loaded card's lines that fill no box,
// each as a person reads it. A card may keep very many; rows are made only when shown.
class OtherLineList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit OtherLineList(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    const OtherLines& lines() const { return lines_; }
    void setLines(OtherLines lines);
    void clear() { setLines(OtherLines()); }
    // False for a row outside the list.
    bool remove(qsizetype row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    OtherLines lines_;
};

}  // namespace pennacle
