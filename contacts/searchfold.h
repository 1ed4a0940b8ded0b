#pragma once

#include <QByteArray>
#include <QStringView>

namespace pennacle {

// Appends the text as the find bar compares it, in UTF-8: letter case folded, accents and other
// combining marks dropped ("Müller" and "MULLER" both give "muller"), compatibility forms
// decomposed, a few letters that carry no separable accent spelled out ("ß" gives "ss", "ø"
// gives "o"), and control characters made blanks, so a folded text never holds a line break.
void appendFolded(QByteArray& out, QStringView text);

QByteArray foldForSearch(QStringView text);

}  // namespace pennacle
