#pragma once

#include "core/contactentry.h"

#include <QAbstractTableModel>
#include <QString>

#include <span>
#include <vector>

namespace pennacle {

// The program's only store of contacts, shown by `ListView1`. Rows keep the order in which
// they were added; whenever the list holds rows exactly one of them is current.
class ContactList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, CardColumn = 1, ColumnCount = 2 };

    explicit ContactList(QObject* parent = nullptr);

    qsizetype count() const { return static_cast<qsizetype>(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    // 0-based row access; `row` must be in range.
    const ContactEntry& at(qsizetype row) const { return rows_.at(static_cast<size_t>(row)); }
    // The rows in list order, as the engine takes them; valid until the list next changes.
    std::span<const ContactEntry> entries() const { return rows_; }

    // Appends rows in one batch. The first row added to an empty list becomes current;
    // otherwise the current row stays.
    void append(std::vector<ContactEntry> entries);
    void append(ContactEntry entry);
    // Puts rows back at `first` (0 to count()), as undo does. The current contact stays
    // current; into an empty list the first row put back becomes current.
    void insert(qsizetype first, std::vector<ContactEntry> entries);
    // Takes `n` rows from `first` out of the list, as remove() takes one, and hands them over.
    std::vector<ContactEntry> take(qsizetype first, qsizetype n);

    // Replaces a row's card; the shown name stays.
    void setCard(qsizetype row, CardBytes card);
    // Replaces a row's card and the name it is shown by (the name of the new card).
    void setCard(qsizetype row, CardBytes card, QString name);

    // Sets where a row's card lives on the server (after its first upload).
    void setServerHref(qsizetype row, QString href);

    // Removes one row. When it was current, the row that takes its place (or the new last
    // row) becomes current.
    void remove(qsizetype row);
    void clear();

    // -1 when the list is empty.
    qsizetype currentRow() const { return current_; }
    void setCurrentRow(qsizetype row);
    const ContactEntry* current() const { return current_ < 0 ? nullptr : &at(current_); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void currentRowChanged(qsizetype row);

private:
    void changeCurrent(qsizetype row);

    std::vector<ContactEntry> rows_;
    qsizetype current_ = -1;
};

}  // namespace pennacle
