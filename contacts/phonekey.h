#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace pennacle {

// Telephone numbers as one number is written many ways: "0170 1234567", "+49 (170) 123-4567"
// and "0049 170 1234567" all give "+491701234567" with the region DE. Numbers written with
// their country code are read without the phone-number library; national ones go through it
// once per distinct number. One object per thread: it keeps what it has read.
class PhoneKeys {
public:
    // `region`: a two-letter country code ("DE"), the country that national numbers are of.
    explicit PhoneKeys(QString region);

    // The number in international form, or empty for a text that holds no number.
    QByteArray keyOf(QStringView number);

    const QString& region() const { return region_; }

private:
    QByteArray throughLibrary(const QByteArray& dialled);

    QString region_;
    std::string regionCode_;
    QHash<QByteArray, QByteArray> national_;
};

// Every two-letter region the phone-number library knows, sorted.
QStringList phoneRegions();

// The region of the system's locale ("de_DE" gives "DE"), or "US" when it names none.
QString systemPhoneRegion();

}  // namespace pennacle
