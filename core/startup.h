#pragma once

#include <QString>

namespace pennacle {

inline constexpr auto kProductName = "Pennacle Suite";

// The caption of every message box but the failure report: the product name cut at its
// last blank at least once, and again while it is longer than 40 characters.
QString applicationTitle(const QString& productName = QLatin1String(kProductName));

// True when the path names an existing file or folder; never throws.
bool FileExists(const QString& path) noexcept;

// Companion files below the program's folder.
QString skinFilePath(const QString& appFolder);
QString pointerFilePath(const QString& appFolder);

}  // namespace pennacle
