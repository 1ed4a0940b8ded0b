#pragma once

#include "core/cardbytes.h"

#include <QByteArray>
#include <QString>

namespace pennacle {

// The card's UID value, trimmed; empty when it has none.
QString uidOf(const CardBytes& card);

// The card with a UID line added before its END line (or at its end), in the card's own line
// breaks; the card as it is when it holds a UID already.
CardBytes withUid(const CardBytes& card, const QString& uid);

// The card with its UID value replaced by `uid` (added when it has none).
CardBytes withNewUid(const CardBytes& card, const QString& uid);

// Whether the card's VERSION says 4.0.
bool isVersion40(const CardBytes& card);

// A fingerprint of the card's text (SHA-256 over its UTF-8), the same whichever encoding the
// card is held in, as hex.
QByteArray cardHash(const CardBytes& card);

}  // namespace pennacle
