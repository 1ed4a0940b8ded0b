#pragma once

#include "core/contactentry.h"

#include <QByteArray>

namespace pennacle {

// What the find bar searches in a contact, folded by `appendFolded`: the shown name, then the
// card's names (N, FN), e-mail addresses, telephone numbers (each also as bare digits, so
// "5550175" finds "504-555-0175"), company and note, one value a line so that no match runs
// from one value into the next. Quoted-printable values are decoded, and folded lines, soft
// line breaks and the continuation lines of a note are joined. One light pass over the card:
// it runs for every contact an import adds. Safe to call from several threads at once.
QByteArray contactSearchText(const ContactEntry& entry);

}  // namespace pennacle
