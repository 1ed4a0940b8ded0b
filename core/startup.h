#pragma once

#include <QString>
#include <QStringList>

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

// What the window program's command line asks for. Help, the version and a usage error are
// answered before anything touches the display.
struct WindowCommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QStringList files;      // to import, in order
    QStringList qtOptions;  // the toolkit's own options (-style fusion), with their values
    QString problem;        // what makes it a usage error
};

// `arguments` without the program's name. "--" ends the options: what follows are files.
WindowCommandLine parseWindowCommandLine(const QStringList& arguments);
QString windowUsageText();

}  // namespace pennacle
