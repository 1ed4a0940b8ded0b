#pragma once

#include "core/guard.h"

#include <QString>

namespace pennacle {

// The name the contact list shows for a card, from its N lines alone: "last, first middle",
// or "first middle" without a last name; empty when the card has no usable name.
// A guarded procedure: failures are reported through `reporter`.
QString GetName(const QString& card, Reporter& reporter);

}  // namespace pennacle
