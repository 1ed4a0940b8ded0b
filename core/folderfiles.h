#pragma once

#include <QString>
#include <QStringList>

namespace pennacle {

// The names (without the folder part) of the files in `folder` that match `pattern`, hidden
// ones included and subfolders never, sorted by name without regard to case so that every
// file system gives the same order. "*.*" matches every name, as it does on Windows; other
// patterns are wildcards. A missing folder, or one without a matching file, gives an empty
// list. Never throws.
QStringList ListFolderFiles(const QString& folder, const QString& pattern);

// True when `path` names an existing regular file (or a link to one): not a folder, not a
// pipe or device, which could block a later read. Never throws.
bool PathIsExistingFile(const QString& path) noexcept;

}  // namespace pennacle
