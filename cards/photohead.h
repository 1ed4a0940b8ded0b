#pragma once

#include "photos/pictureformat.h"

#include <QString>
#include <QStringView>

namespace pennacle {

// The head of a photo line: its property part and ":", as a form row's PhotoType holds it.

// The property part as a photo line starts: each CR or LF as a blank (either would end the line
// early) and no blanks or tabs before it (they would make it a continuation of the line above).
QString photoLineHead(const QString& photoType);

// The word a photo's parameter gives its picture: a bare word, or the value of TYPE or
// MEDIATYPE, without quotes and without "image/"; none for any other parameter (ENCODING=b).
QStringView photoTypeWordOf(QStringView parameter);

// The photo line head of a picture the user adds, naming its format: "PHOTO;PNG;BASE64:". A
// picture added without a known format (a form row without a type) takes the JPEG head.
QString addedPhotoType(PictureFormat format = PictureFormat::Jpeg);

// A photo line head that names `format` wherever it named a picture format: a bare parameter
// ("JPEG"), the value of TYPE or MEDIATYPE, or the subtype of an "image/" value, each outside
// or inside quotes, in any letter case. A word that names the format already (a "JPG" for a
// JPEG) stays, as does a head that names no format; a new word keeps the old one's lower case.
QString withPictureFormat(const QString& photoType, PictureFormat format);

}  // namespace pennacle
