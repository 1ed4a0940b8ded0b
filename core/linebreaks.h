#pragma once

#include <QString>

namespace pennacle {

// The text with every CR LF and every lone CR turned into LF, the only break that Qt's
// text widgets and a terminal understand.
QString withLfBreaks(QString text);

}  // namespace pennacle
