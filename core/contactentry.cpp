#include "core/contactentry.h"

#include <iterator>
#include <stdexcept>

namespace pennacle {

const ContactEntry& entryAt(std::span<const ContactEntry> rows, qsizetype row) {
    if (row < 0 || size_t(row) >= rows.size())
        throw std::out_of_range("no contact at this position");
    return rows[size_t(row)];
}

void appendEntries(std::vector<ContactEntry>& rows, std::vector<ContactEntry> added) {
    if (rows.empty()) {
        rows = std::move(added);
        return;
    }
    rows.insert(rows.end(), std::make_move_iterator(added.begin()),
                std::make_move_iterator(added.end()));
}

}  // namespace pennacle
