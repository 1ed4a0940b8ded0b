#include "core/samplesfolder.h"

#include <QDir>
#include <QFileInfo>

namespace pennacle {

QString samplesFolder(const QString& appFolder) {
    const QString beside = QDir(appFolder).filePath(QStringLiteral("Samples"));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        QDir::cleanPath(QDir(appFolder).filePath(QStringLiteral("../share/pennacle/Samples")));
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

}  // namespace pennacle
