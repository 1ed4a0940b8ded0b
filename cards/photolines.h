#pragma once

#include "core/cardbytes.h"
#include "core/guard.h"
#include "core/photoentry.h"
#include "photos/pictureformat.h"
#include "vcard/cardlines.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace pennacle {

// Photo lines read into the form's photo rows, and the rows written back as photo lines.

// The Base64 data of the photo line starting at lineOffset in card: from after its property
// part's ":" to the first "=" (included), at the latest up to the next empty line or property line,
// with blanks and line breaks removed.
// A "data:<media type>;base64,<data>" address gives its data, and its media type through
// `mediaType` when asked.
QString takePhotoData(const CardBytes& card, qsizetype lineOffset, QString* mediaType = nullptr);

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

// The row "Add Picture" appends to a list of `rowsBefore` rows: "Photo" and the new count, under
// the head that names the picture's format.
PhotoEntry addedPhotoRow(qsizetype rowsBefore, QString data,
                         PictureFormat format = PictureFormat::Jpeg);

// A row whose picture "Replace Picture" changes to `data` of `format`: its property part stays,
// naming the new format where it named one (withPictureFormat), and a caption that was made from
// the part follows it.
PhotoEntry replacedPhotoRow(const PhotoEntry& row, QString data, PictureFormat format);

// Width of a photo line: the first line holds the PhotoType and as much data as fits in it,
// every further line two blanks and this many characters of data.
inline constexpr qsizetype kPhotoLineWidth = 64;

// The card lines of every photo row that has data, each line ending in CR LF; the empty text
// when no row has data. Data are written as paddedBase64 gives them, so strict Base64 readers
// accept every photo written. A PhotoType of 64 characters or more takes the first line alone.
// The PhotoType is written without leading blanks or tabs and with each CR or LF as a blank;
// data that is no Base64 (a URI) is written whole on the first line.
// Guarded ("in Pennacle2021/08/31.modVCard.GetImageFromList ").
QString GetImageFromList(const std::vector<PhotoEntry>& photos, Reporter& reporter);
// The same lines appended to a card in UTF-8. The lines of a large photo are kept for its next
// rebuild while its row's data stay the same.
void appendPhotoBlock(QByteArray& block, const std::vector<PhotoEntry>& photos, Reporter& reporter);

}  // namespace pennacle
