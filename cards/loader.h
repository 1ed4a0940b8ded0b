#pragma once

#include "cards/cardform.h"
#include "core/cardbytes.h"
#include "core/guard.h"

#include <QString>
#include <QStringView>

namespace pennacle {

// Fills an empty form from one card, property line by property line, decoding each line as it
// comes; the card itself is never changed. The engine half of the window's LoadVCFData, guarded
// under its tag with steps of its own: a failing step is reported and loading goes on.
CardForm loadCardForm(const CardBytes& card, Reporter& reporter);

// Whether a photo row's PhotoType reads back as itself from the photo line it starts: a
// property part that loading takes for a photo, on one line and without blanks before it, then
// ":". Rows from cards and new pictures always have one; a form from elsewhere may not.
bool isPhotoType(QStringView photoType);

// Whether a text is what loading keeps of a line the form has no box for: one property line
// (not one of the card's frame), and after it at most lines without a property of their own
// (folded lines, Base64 data, the empty line that ends it). Written back as it stands, such a
// text can neither end the card nor add a property.
bool isOtherLine(QStringView text);

}  // namespace pennacle
