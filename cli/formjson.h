#pragma once

#include "cards/cardform.h"

#include <QByteArray>

namespace pennacle::cli {

// The form as one JSON object, keys in the form's order: "txtTextbox" (25 strings), "Check1"
// (6 booleans), "Combo1", "Combo2", "Combo1Index", "dtpBirthday" ("YYYY-MM-DD"), "photos"
// (objects of "PhotoLabel", "PhotoType", "PhotoData"), "photoIndex", "otherLines" (the card's
// lines that fill no box, each the exact text of one property) and "otherParts" (the strings
// "nameSuffix", "homePostOfficeBox", "workPostOfficeBox", "workExtendedAddress"). UTF-8, ends
// in LF.
QByteArray formToJson(const CardForm& form);

// The form described by such a JSON object. A missing key means empty texts, unchecked
// boxes, no e-mail entries, no birthday, no photo rows, no other lines or empty parts;
// "Combo1Index" and "photoIndex" default to the first entry when there are entries, a photo's
// "PhotoType" to the one of a new picture, "PHOTO;JPEG;BASE64:". Throws Failure, with a message for
// the user, for malformed JSON, unknown keys, wrong types and out-of-range values.
CardForm formFromJson(const QByteArray& json);

// Throws Failure, with a message for the user, when a photo row with data has a "PhotoType"
// that is no photo's property part followed by ":": its line would read back as something
// else. Rows from cards and new pictures always pass.
void checkPhotoTypes(const CardForm& form);

}  // namespace pennacle::cli
