#include "core/folderfiles.h"

#include <QDir>
#include <QFileInfo>

namespace pennacle {

QStringList ListFolderFiles(const QString& folder, const QString& pattern) {
    if (folder.isEmpty())
        return {};
    QString prefix = folder;
    if (!prefix.endsWith(u'/') && !prefix.endsWith(QDir::separator()))
        prefix += u'/';
    const QDir dir(prefix);
    const QStringList patterns =
        pattern == QLatin1String("*.*") ? QStringList() : QStringList{pattern};
    // System takes in entries that Files alone leaves out (special files, dangling links);
    // the file test below decides which of them count.
    const QStringList entries = dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System,
                                              QDir::Name | QDir::IgnoreCase);
    QStringList names;
    names.reserve(entries.size());
    for (const QString& name : entries) {
        if (PathIsExistingFile(prefix + name))
            names << name;
    }
    return names;
}

bool PathIsExistingFile(const QString& path) noexcept {
    try {
        return !path.isEmpty() && QFileInfo(path).isFile();
    } catch (...) {
        return false;
    }
}

}  // namespace pennacle
