#pragma once

#include "core/cardbytes.h"
#include "core/guard.h"

#include <QString>

namespace pennacle {

// The name the contact list shows for a card. From its N lines: "last, first middle", or
// "first middle" without a last name. A card whose N gives no name is listed under its FN,
// else the first component of its ORG, else its first e-mail address, else its first number,
// else as "(no name)". Empty only for a card that holds nothing besides BEGIN, VERSION, empty
// N and FN lines and END: the importer leaves such a card out.
// A guarded procedure: failures are reported through `reporter`.
QString GetName(const CardBytes& card, Reporter& reporter);
// The name the list shows for a card that the user made or edited: its GetName, or "(no name)"
// when the card holds nothing to name it by, so that its row can still be seen and picked.
QString listedName(const CardBytes& card, Reporter& reporter);

}  // namespace pennacle
