#pragma once

#include "photos/pictureformat.h"

#include <QLatin1StringView>
#include <QStringView>

#include <optional>

namespace pennacle {

// A format of binary data (a picture, a sound, a key) as a 2.1/3.0 type word names it and as a
// media type does, and what a photo head makes of the word.
struct MediaFormat {
    QLatin1StringView word;
    QLatin1StringView mediaType;
    // Whether a photo head takes the word for its picture's format, and the stored format it
    // names there (none for one never stored, BMP: a chosen bitmap is made a JPEG).
    bool namesPhotoFormat = false;
    std::optional<PictureFormat> picture;
};

// The first row of the table whose word is `word` in any ASCII case; none for a word of no
// known format.
const MediaFormat* mediaFormatOfWord(QStringView word);

// The first row of the table whose media type is `mediaType` in any ASCII case: the row whose
// word a media type is written back with.
const MediaFormat* mediaFormatOfType(QStringView mediaType);

// The word a photo head names a stored format with: "JPEG", "PNG", "GIF".
QLatin1StringView wordOfPictureFormat(PictureFormat format);

}  // namespace pennacle
