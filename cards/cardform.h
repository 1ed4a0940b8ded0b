#pragma once

#include "core/photoentry.h"

#include <QDate>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

namespace pennacle {

// The date the birthday picker shows when a card has no birthday.
inline QDate noBirthday() {
    return QDate(1900, 1, 1);
}

// The earliest birthday the picker takes; a card's earlier birthday is not shown.
inline QDate firstBirthday() {
    return QDate(1601, 1, 1);
}

// The boxes of the form, numbered as the window's `txtTextbox` array.
enum FormField : int {
    LastName = 0,
    FirstName = 1,
    MiddleInitial = 2,
    Company = 3,
    Title = 4,
    HiddenEmail = 5,  // the e-mail holder that the window never shows
    WebsiteHome = 6,
    WebsiteWork = 7,
    HomeAddress = 8,
    HomeCity = 9,
    HomeRegion = 10,
    HomeZip = 11,
    HomeCountry = 12,
    WorkAddress = 13,
    WorkCity = 14,
    WorkRegion = 15,
    WorkZip = 16,
    WorkCountry = 17,
    HomeVoice = 18,
    HomeFax = 19,
    WorkVoice = 20,
    WorkFax = 21,
    Cellular = 22,
    Pager = 23,
    Notes = 24,
};
inline constexpr int kFieldCount = 25;
// Each address has five boxes in this order: street, city, region, zip, country.
inline constexpr int kAddressFieldCount = 5;

// The six telephone kinds: kind k is shown in box kFirstPhoneField + k and marked preferred
// by Check1(k).
enum class PhoneKind : int { HomeVoice, HomeFax, WorkVoice, WorkFax, Cellular, Pager };
inline constexpr int kPhoneKindCount = 6;
inline constexpr FormField kFirstPhoneField = HomeVoice;

struct PhoneKindInfo {
    PhoneKind kind;
    FormField field;
    QLatin1StringView caption;     // the label in the window
    QLatin1StringView typeParams;  // the TEL parameters the rebuild writes
    // Reading: a TEL line is of the kind with the lowest rank whose words its property part
    // all contains (in any case) and whose `unless` word it does not; a kind without words
    // takes every line.
    int readRank;
    std::array<QLatin1StringView, 2> readWords;
    QLatin1StringView unless;
};

// Indexed by kind.
inline constexpr std::array<PhoneKindInfo, kPhoneKindCount> kPhoneKinds = {{
    {PhoneKind::HomeVoice,
     HomeVoice,
     QLatin1StringView("Home Voice:"),
     QLatin1StringView("HOME;VOICE"),
     6,
     {},
     {}},
    {PhoneKind::HomeFax,
     HomeFax,
     QLatin1StringView("Home Fax:"),
     QLatin1StringView("HOME;FAX"),
     2,
     {QLatin1StringView("FAX")},
     {}},
    {PhoneKind::WorkVoice,
     WorkVoice,
     QLatin1StringView("Work Voice:"),
     QLatin1StringView("WORK;VOICE"),
     5,
     {QLatin1StringView("WORK")},
     {}},
    // A fax marked both HOME and WORK is a home fax.
    {PhoneKind::WorkFax,
     WorkFax,
     QLatin1StringView("Work Fax:"),
     QLatin1StringView("WORK;FAX"),
     1,
     {QLatin1StringView("FAX"), QLatin1StringView("WORK")},
     QLatin1StringView("HOME")},
    {PhoneKind::Cellular,
     Cellular,
     QLatin1StringView("Cellular:"),
     QLatin1StringView("CELL"),
     3,
     {QLatin1StringView("CELL")},
     {}},
    {PhoneKind::Pager,
     Pager,
     QLatin1StringView("Pager:"),
     QLatin1StringView("PAGER"),
     4,
     {QLatin1StringView("PAGER")},
     {}},
}};

constexpr const PhoneKindInfo& phoneKind(PhoneKind kind) {
    return kPhoneKinds[static_cast<size_t>(kind)];
}

// What the window's form holds, as a value: the loader fills it from a card text and the
// rebuild composes a card text from it. Indexes follow the window's control arrays.
// Lines of a card kept as they stand, in order, held in one text (a card may have millions):
// each line followed by CR LF. A line may hold line breaks of its own (its continuation lines).
class OtherLines {
public:
    qsizetype count() const { return qsizetype(ends_.size()); }
    bool isEmpty() const { return ends_.empty(); }
    QStringView at(qsizetype i) const {
        const qsizetype start = i == 0 ? 0 : ends_[size_t(i - 1)] + 2;
        return QStringView(text_).sliced(start, ends_[size_t(i)] - start);
    }
    void append(QStringView line) {
        text_.append(line);
        ends_.push_back(text_.size());
        text_.append(u"\r\n");
    }
    void remove(qsizetype i) {
        const qsizetype start = i == 0 ? 0 : ends_[size_t(i - 1)] + 2;
        const qsizetype removed = ends_[size_t(i)] + 2 - start;
        text_.remove(start, removed);
        ends_.erase(ends_.begin() + i);
        for (size_t j = size_t(i); j < ends_.size(); ++j)
            ends_[j] -= removed;
    }
    // Every line followed by CR LF.
    const QString& text() const { return text_; }
    QStringList toList() const {
        QStringList lines;
        lines.reserve(count());
        for (qsizetype i = 0; i < count(); ++i)
            lines.append(at(i).toString());
        return lines;
    }

    bool operator==(const OtherLines&) const = default;

private:
    QString text_;
    std::vector<qsizetype> ends_;  // where each line ends in text_, before its CR LF
};

// Components that no box shows, kept in their places inside the lines the form writes.
struct OtherParts {
    QString nameSuffix;           // N's fifth component
    QString homePostOfficeBox;    // the home address's first component
    QString workPostOfficeBox;    // the work address's first component
    QString workExtendedAddress;  // the work address's second component

    bool operator==(const OtherParts&) const = default;
};

struct CardForm {
    std::array<QString, kFieldCount> txtTextbox;  // Notes use CR LF line breaks
    std::array<bool, kPhoneKindCount> Check1{};   // preferred marks, indexed by PhoneKind
    QStringList Combo1;                           // e-mail addresses
    QStringList Combo2;    // their types, entry i belonging to Combo1 entry i
    int Combo1Index = -1;  // selected address, -1 when none
    QDate dtpBirthday = noBirthday();
    std::vector<PhotoEntry> photos;
    int photoIndex = 0;  // selected photo row, 1-based; 0 when none
    // The card's lines that fill no box, or whose value a later line replaced: each the text of
    // one property, its continuation lines included, without its final line end. The rebuild
    // writes them back as they stand, before the form's own lines.
    OtherLines otherLines;
    OtherParts otherParts;

    QString& operator[](FormField field) { return txtTextbox[static_cast<size_t>(field)]; }
    const QString& operator[](FormField field) const {
        return txtTextbox[static_cast<size_t>(field)];
    }
    bool& preferred(PhoneKind kind) { return Check1[static_cast<size_t>(kind)]; }
    bool preferred(PhoneKind kind) const { return Check1[static_cast<size_t>(kind)]; }

    bool operator==(const CardForm&) const = default;
};

}  // namespace pennacle
