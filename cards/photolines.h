#pragma once

#include "cards/cardlines.h"
#include "photos/photoentry.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace pennacle {

// Whether a property part (group dropped) names a photo: "PHOTO" or "X-MS-CARDPICTURE", any case.
bool isPhotoProperty(QStringView propertyPart);

// The Base64 data of the photo line starting at lineOffset in card: from after its property
// part's ":" to the first "=" (included), at the latest up to the next empty line or property line,
// with blanks and line breaks removed.
QString takePhotoData(const QString& card, qsizetype lineOffset);

// The list caption of photo number `number`: the property part's second ";" piece, or "Photo".
QString photoLabel(QStringView propertyPart, int number);

// The photo step of card loading: appends the row of one photo line, numbered after the rows
// already there; a line without any data gets no row.
void addPhotoRow(std::vector<PhotoEntry>& rows, const QString& card, const CardLine& line);
// The same for the line starting at lineOffset whose property part is `part`.
void addPhotoRow(std::vector<PhotoEntry>& rows, const QString& card, qsizetype lineOffset,
                 QStringView part);

}  // namespace pennacle
