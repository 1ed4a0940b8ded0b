#pragma once

#include "core/cardbytes.h"
#include "core/guard.h"

namespace pennacle {

// The vCard versions a card can be written in.
enum class CardVersion { V21, V30, V40 };

// The card written as vCard `target`, in UTF-8, keeping every property.
CardBytes convertCard(const CardBytes& card, CardVersion target, Reporter& reporter);

}  // namespace pennacle
