#pragma once

#include "core/guard.h"

#include <QString>

namespace pennacle {

// Decodes Base64 text and writes the bytes to `path`, replacing what the file held. Guarded:
// failures are reported and the next step runs. Returns whether the file was written.
bool ImageDecoder(const QString& base64, const QString& path, Reporter& reporter);

}  // namespace pennacle
