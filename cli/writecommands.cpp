// Placeholders for the commands that write; they are replaced by their implementation.

#include "cli/commands.h"

namespace pennacle::cli {

int runBuild(QStringList) {
    printError(QStringLiteral("pennacle-cli: build: not available yet\n"));
    return kUsageError;
}

int runSave(QStringList) {
    printError(QStringLiteral("pennacle-cli: save: not available yet\n"));
    return kUsageError;
}

}  // namespace pennacle::cli
