#include "app/flowcontext.h"

#include <QFileInfo>

namespace pennacle {

namespace {

QString rememberedFolder(const FlowContext& context, const char* folderKey) {
    return context.settings.ReadSetting(QLatin1String(folderKey), QString());
}

void rememberFolderOf(const FlowContext& context, const char* folderKey, const QString& path) {
    if (!path.isEmpty())
        context.settings.WriteSetting(QLatin1String(folderKey), QFileInfo(path).absolutePath());
}

}  // namespace

QString chooseFileToOpen(const FlowContext& context, const char* folderKey, const QString& title,
                         const QString& filter) {
    const QString path =
        context.dialogs.ShowOpen(title, filter, rememberedFolder(context, folderKey));
    rememberFolderOf(context, folderKey, path);
    return path;
}

QStringList chooseFilesToOpen(const FlowContext& context, const char* folderKey,
                              const QString& title, const QString& filter) {
    const QStringList paths =
        context.dialogs.ShowOpenFiles(title, filter, rememberedFolder(context, folderKey));
    if (!paths.isEmpty())
        rememberFolderOf(context, folderKey, paths.last());
    return paths;
}

QString chooseFileToSave(const FlowContext& context, const char* folderKey, const QString& title,
                         const QString& filter) {
    const QString path =
        context.dialogs.ShowSave(title, filter, rememberedFolder(context, folderKey));
    rememberFolderOf(context, folderKey, path);
    return path;
}

}  // namespace pennacle
