#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <vector>

namespace pennacle {

// What a pull remembers of each card, beside the VCF file it wrote, so that a push knows what
// changed since.
struct PulledCard {
    QString uid;   // empty when the card has none
    QString href;  // hrefKey on the server
    QByteArray etag;
    QByteArray hash;  // cardHash of the card as importing the VCF file gives it
    bool version40 = false;
};

struct PullRecord {
    QUrl url;  // the address book
    QString syncToken;
    std::vector<PulledCard> cards;
};

// The record's file: JSON, UTF-8.
QByteArray pullRecordToJson(const PullRecord& record);
// Throws Failure when the text is no record.
PullRecord pullRecordFromJson(const QByteArray& json);

}  // namespace pennacle
