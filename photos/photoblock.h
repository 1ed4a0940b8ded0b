#pragma once

#include "core/guard.h"
#include "photos/photoentry.h"

#include <QString>

#include <vector>

namespace pennacle {

// Width of a photo line: the first line holds the PhotoType and as much data as fits in it,
// every further line two blanks and this many characters of data.
inline constexpr qsizetype kPhotoLineWidth = 64;

// The card lines of every photo row that has data, each line ending in CR LF; the empty text
// when no row has data. A PhotoType of 64 characters or more takes the first line alone. The
// PhotoType is written without leading blanks or tabs and with each CR or LF as a blank, the
// data without blanks, tabs or line breaks; data with colons keeps all of them on the first
// line.
// Guarded ("in Pennacle2021/08/31.modVCard.GetImageFromList ").
QString GetImageFromList(const std::vector<PhotoEntry>& photos, Reporter& reporter);

}  // namespace pennacle
