#include "app/listchanges.h"

#include <QDir>
#include <QFileInfo>

namespace pennacle {

namespace {

QString nameOf(const QString& path) {
    // A folder of per-contact files is named as a file is; the root folder has only its path.
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name;
}

}  // namespace

void ListChanges::noteFileAdded(const QString& path, bool intoEmptyList) {
    unsaved_ = !intoEmptyList;
    name_ = nameOf(path);
}

void ListChanges::noteFilesAdded(bool intoEmptyList) {
    if (intoEmptyList) {
        unsaved_ = false;
        name_.clear();
    } else {
        unsaved_ = true;
    }
}

void ListChanges::noteServerBook(const QString& name) {
    unsaved_ = false;
    name_ = name;
}

void ListChanges::noteSaved(const QString& path) {
    unsaved_ = false;
    name_ = nameOf(path);
}

QString ListChanges::windowTitle(const QString& productName) const {
    QString title = productName;
    if (!name_.isEmpty())
        title += QStringLiteral(" \u2014 ") + name_;
    if (unsaved_)
        title += QStringLiteral(" *");
    return title;
}

}  // namespace pennacle
