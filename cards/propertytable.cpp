#include "cards/propertytable.h"

namespace pennacle {

bool isPhotoProperty(QStringView propertyPart) {
    return hasParameter(propertyPart, QLatin1String("PHOTO")) ||
           hasParameter(propertyPart, QLatin1String("X-MS-CARDPICTURE"));
}

std::vector<CardLine> splitCardLines(const QString& card) {
    return splitLines(card, &isPhotoProperty);
}

}  // namespace pennacle
