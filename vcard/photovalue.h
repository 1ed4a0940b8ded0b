#pragma once

#include "core/cardbytes.h"
#include "core/guard.h"
#include "vcard/photoentry.h"

#include <QLatin1StringView>
#include <QString>

#include <vector>

namespace pennacle {

// The Base64 data of the photo line starting at lineOffset in card: from after its property
// part's ":" to the first "=" (included), at the latest up to the next empty line or property line,
// with blanks and line breaks removed.
// A "data:<media type>;base64,<data>" address gives its data, and its media type through
// `mediaType` when asked.
QString takePhotoData(const CardBytes& card, qsizetype lineOffset, QString* mediaType = nullptr);

// The word a photo's parameter gives its picture: a bare word, or the value of TYPE or
// MEDIATYPE, without quotes and without "image/"; none for any other parameter (ENCODING=b).
QStringView photoTypeWordOf(QStringView parameter);

// The photo line head of a picture added without a known format (a form row without a type).
inline constexpr QLatin1StringView kAddedPhotoType("PHOTO;JPEG;BASE64:");

// The formats a picture is stored in: a chosen file of another format is made a JPEG.
enum class PictureFormat { Jpeg, Png, Gif };

// The photo line head of a picture the user adds, naming its format: "PHOTO;PNG;BASE64:".
QLatin1StringView addedPhotoType(PictureFormat format);

// A photo line head that names `format` wherever it named a picture format: a bare parameter
// ("JPEG"), the value of TYPE or MEDIATYPE, or the subtype of an "image/" value, each outside
// or inside quotes, in any letter case. A word that names the format already (a "JPG" for a
// JPEG) stays, as does a head that names no format; a new word keeps the old one's lower case.
QString withPictureFormat(const QString& photoType, PictureFormat format);

// Width of a photo line: the first line holds the PhotoType and as much data as fits in it,
// every further line two blanks and this many characters of data.
inline constexpr qsizetype kPhotoLineWidth = 64;

// The data as a photo line carries it: the Base64 characters that decoding uses, in groups of
// four with "=" padding, so strict Base64 readers accept every photo written. Every "=" is
// dropped and the padding made anew; a last group of a single character, which decoding
// ignores, is dropped. A value with other characters (a URI, say) stays as it is.
QString paddedBase64(const QString& data);

// The property part as a photo line starts: each CR or LF as a blank (either would end the line
// early) and no blanks or tabs before it (they would make it a continuation of the line above).
QString photoLineHead(const QString& photoType);

// The card lines of every photo row that has data, each line ending in CR LF; the empty text
// when no row has data. Data are written as paddedBase64 gives them. A PhotoType of 64 characters
// or more takes the first line alone. The PhotoType is written without leading blanks or tabs and
// with each CR or LF as a blank; data that is no Base64 (a URI) is written whole on the first line.
// Guarded ("in Pennacle2021/08/31.modVCard.GetImageFromList ").
QString GetImageFromList(const std::vector<PhotoEntry>& photos, Reporter& reporter);
// The same lines appended to a card in UTF-8. The lines of a large photo are kept for its next
// rebuild while its row's data stay the same.
void appendPhotoBlock(QByteArray& block, const std::vector<PhotoEntry>& photos, Reporter& reporter);

}  // namespace pennacle
