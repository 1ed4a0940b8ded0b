#pragma once

#include "photos/photoentry.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace pennacle {

// The date the birthday picker shows when a card has no birthday.
inline QDate noBirthday() {
    return QDate(1900, 1, 1);
}

// What the window's form holds, as a value: the loader fills it from a card text and the
// rebuild composes a card text from it. Indexes follow the window's control arrays.
struct CardForm {
    static constexpr int kTextCount = 25;
    static constexpr int kCheckCount = 6;

    std::array<QString, kTextCount> txtTextbox;  // notes (24) use CR LF line breaks
    std::array<bool, kCheckCount> Check1{};
    QStringList Combo1;    // e-mail addresses
    QStringList Combo2;    // their types, entry i belonging to Combo1 entry i
    int Combo1Index = -1;  // selected address, -1 when none
    QDate dtpBirthday = noBirthday();
    std::vector<PhotoEntry> photos;
    int photoIndex = 0;  // selected photo row, 1-based; 0 when none

    bool operator==(const CardForm&) const = default;
};

}  // namespace pennacle
