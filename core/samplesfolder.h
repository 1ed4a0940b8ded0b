#pragma once

#include <QString>

namespace pennacle {

// The folder of the sample cards: "Samples" beside the program (a build tree, or a copy unpacked
// in one folder), else <prefix>/share/pennacle/Samples for a program installed in <prefix>/bin.
// When neither exists the folder beside the program is named, so a missing folder reads as empty.
QString samplesFolder(const QString& appFolder);

}  // namespace pennacle
