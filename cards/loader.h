#pragma once

#include "app/core/guard.h"
#include "cards/cardform.h"

#include <QString>

namespace pennacle {

// Fills an empty form from one card text, property line by property line; the card text itself
// is never changed. Guarded: a failing step is reported and loading goes on.
CardForm LoadVCFData(const QString& card, Reporter& reporter);

}  // namespace pennacle
