#pragma once

#include "vcard/cardlines.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace pennacle {

// Whether a property part (group dropped) names a photo: "PHOTO" or "X-MS-CARDPICTURE", any case.
bool isPhotoProperty(QStringView propertyPart);

// The line walker as cards are read: photo values hold Base64 data.
class CardLineWalker : public LineWalker {
public:
    explicit CardLineWalker(const QString& card) : LineWalker(card, &isPhotoProperty) {}
};

// The logical lines of a card, photo values read as Base64 data.
std::vector<CardLine> splitCardLines(const QString& card);

}  // namespace pennacle
