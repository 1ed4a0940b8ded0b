#include "contacts/phonekey.h"

#include <QLocale>

#include <phonenumbers/phonenumberutil.h>

#include <set>
#include <string>

namespace pennacle {

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// A national number this short is an extension or a typo: it is kept as its digits.
constexpr qsizetype kShortestNational = 5;
// Longer than any number the library takes: left as digits, and no slow parse of junk.
constexpr qsizetype kLongestNumber = 20;

struct Dialled {
    QByteArray digits;
    bool international = false;  // written with "+"
};

// The digits of a number up to its extension, and whether it starts with "+". A "(0)" right
// after the country code is the trunk prefix that a caller from abroad leaves out.
Dialled dialledOf(QStringView number) {
    Dialled dialled;
    bool started = false;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number[i];
        if (c == u'+' && !started) {
            dialled.international = true;
            started = true;
        } else if (c.isDigit()) {
            started = true;
            dialled.digits += char('0' + c.digitValue());
        } else if (c == u'(' && dialled.international && number.sliced(i).startsWith(u"(0)")) {
            i += 2;
        } else if (c.isLetter() || c == u';' || c == u',') {
            break;  // "x12", "ext. 12", a pause or a second number
        }
    }
    return dialled;
}

}  // namespace

PhoneKeys::PhoneKeys(QString region)
    : region_(std::move(region)), regionCode_(region_.toUpper().toStdString()) {}

QByteArray PhoneKeys::keyOf(QStringView number) {
    Dialled dialled = dialledOf(number);
    if (dialled.digits.isEmpty())
        return {};
    if (dialled.international)
        return '+' + dialled.digits;
    if (dialled.digits.size() < kShortestNational || dialled.digits.size() > kLongestNumber)
        return dialled.digits;
    const auto known = national_.constFind(dialled.digits);
    if (known != national_.cend())
        return *known;
    QByteArray key = throughLibrary(dialled.digits);
    national_.insert(dialled.digits, key);
    return key;
}

QByteArray PhoneKeys::throughLibrary(const QByteArray& dialled) {
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    PhoneNumber parsed;
    if (util.Parse(dialled.toStdString(), regionCode_, &parsed) !=
        PhoneNumberUtil::NO_PARSING_ERROR)
        return dialled;
    std::string international;
    util.Format(parsed, PhoneNumberUtil::E164, &international);
    return QByteArray::fromStdString(international);
}

QStringList phoneRegions() {
    std::set<std::string> regions;
    PhoneNumberUtil::GetInstance()->GetSupportedRegions(&regions);
    QStringList out;
    out.reserve(qsizetype(regions.size()));
    for (const std::string& region : regions)
        out << QString::fromStdString(region);
    return out;
}

QString systemPhoneRegion() {
    const QString name = QLocale::system().name();  // "de_DE"
    const qsizetype underscore = name.indexOf(u'_');
    if (underscore < 0 || name.size() - underscore - 1 != 2)
        return QStringLiteral("US");
    return name.sliced(underscore + 1).toUpper();
}

}  // namespace pennacle
