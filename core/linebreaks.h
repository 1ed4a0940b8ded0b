#pragma once

#include <QString>

namespace pennacle {

// The text with every CR LF and every lone CR turned into LF, the only break that Qt's
// text widgets and a terminal understand.
QString withLfBreaks(QString text);

// Every line break (CR LF, lone CR, lone LF) as CR LF. A text whose breaks are all CR LF
// already (or that has none) is returned as it is, without a copy.
QString withCrLfBreaks(QString text);

}  // namespace pennacle
