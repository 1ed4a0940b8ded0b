#pragma once

#include "vcard/cardlines.h"
#include "vcard/photoentry.h"
#include "vcard/photovalue.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace pennacle {

// The list caption of photo number `number`: the property part's second ";" piece, or "Photo".
// With `typeWords` (a 3.0 or 4.0 card) the first type word of its parameters instead: a bare
// word or the value of TYPE or MEDIATYPE, upper-cased ("JPEG" of TYPE=jpeg), or "Photo".
QString photoLabel(QStringView propertyPart, int number, bool typeWords = false);

// The photo step of card loading: appends the row of one photo line, numbered after the rows
// already there; a line without any data gets no row.
void addPhotoRow(std::vector<PhotoEntry>& rows, const CardBytes& card, const CardLine& line);
// The same for the line starting at lineOffset whose property part is `part`.
void addPhotoRow(std::vector<PhotoEntry>& rows, const CardBytes& card, qsizetype lineOffset,
                 QStringView part);

// A row whose picture "Replace Picture" changes to `data` of `format`: its property part stays,
// naming the new format where it named one (withPictureFormat), and a caption that was made from
// the part follows it.
PhotoEntry replacedPhotoRow(const PhotoEntry& row, QString data, PictureFormat format);

}  // namespace pennacle
