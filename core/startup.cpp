#include "core/startup.h"

#include <QDir>
#include <QFileInfo>

namespace pennacle {

QString applicationTitle(const QString& productName) {
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break;
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

bool FileExists(const QString& path) noexcept {
    try {
        if (path.isEmpty())
            return false;
        const QFileInfo info(path);
        return info.exists() && info.lastModified().isValid();
    } catch (...) {
        return false;
    }
}

QString skinFilePath(const QString& appFolder) {
    return QDir(appFolder).filePath(QStringLiteral("x/o.cjs"));
}

QString pointerFilePath(const QString& appFolder) {
    return QDir(appFolder).filePath(QStringLiteral("HAND-M.CUR"));
}

}  // namespace pennacle
