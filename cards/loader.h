#pragma once

#include "cards/cardform.h"
#include "core/guard.h"

#include <QString>

namespace pennacle {

// Fills an empty form from one card text, property line by property line; the card text itself
// is never changed. The engine half of the window's LoadVCFData, guarded under its tag and
// numbered before the window's steps: a failing step is reported and loading goes on.
CardForm loadCardForm(const QString& card, Reporter& reporter);

}  // namespace pennacle
