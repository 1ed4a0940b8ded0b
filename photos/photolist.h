#pragma once

#include "core/photoentry.h"

#include <QAbstractTableModel>

#include <vector>

namespace pennacle {

// The rows shown by `ListView2`: the photos of the loaded card.
class PhotoList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { LabelColumn = 0, DataColumn = 1, TypeColumn = 2, ColumnCount = 3 };

    explicit PhotoList(QObject* parent = nullptr);

    const std::vector<PhotoEntry>& rows() const { return rows_; }
    qsizetype count() const { return static_cast<qsizetype>(rows_.size()); }
    void setRows(std::vector<PhotoEntry> rows);
    void clear();
    // The photo commands' row changes; a row outside the list changes nothing.
    void append(PhotoEntry row);
    bool setRow(qsizetype row, PhotoEntry entry);
    bool remove(qsizetype row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<PhotoEntry> rows_;
};

}  // namespace pennacle
