#include "carddav/pullrecord.h"

#include "core/guard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pennacle {

namespace {

QJsonObject cardToJson(const PulledCard& card) {
    return {{QStringLiteral("uid"), card.uid},
            {QStringLiteral("href"), card.href},
            {QStringLiteral("etag"), QString::fromUtf8(card.etag)},
            {QStringLiteral("hash"), QString::fromLatin1(card.hash)},
            {QStringLiteral("version40"), card.version40}};
}

PulledCard cardFromJson(const QJsonObject& object) {
    PulledCard card{object.value(QStringLiteral("uid")).toString(),
                    object.value(QStringLiteral("href")).toString(),
                    object.value(QStringLiteral("etag")).toString().toUtf8(),
                    object.value(QStringLiteral("hash")).toString().toLatin1(),
                    object.value(QStringLiteral("version40")).toBool()};
    if (card.href.isEmpty() || card.hash.isEmpty())
        throw Failure(QStringLiteral("a card of the record lacks its href or hash"));
    return card;
}

}  // namespace

QByteArray pullRecordToJson(const PullRecord& record) {
    QJsonArray cards;
    for (const PulledCard& card : record.cards)
        cards.append(cardToJson(card));
    const QJsonObject root{{QStringLiteral("url"), record.url.toString()},
                           {QStringLiteral("syncToken"), record.syncToken},
                           {QStringLiteral("cards"), cards}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

PullRecord pullRecordFromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject())
        throw Failure(QStringLiteral("not a pull record: %1").arg(error.errorString()));
    const QJsonObject root = document.object();
    PullRecord record;
    record.url = QUrl(root.value(QStringLiteral("url")).toString());
    record.syncToken = root.value(QStringLiteral("syncToken")).toString();
    for (const QJsonValue& card : root.value(QStringLiteral("cards")).toArray())
        record.cards.push_back(cardFromJson(card.toObject()));
    return record;
}

}  // namespace pennacle
