#pragma once

#include "core/dialogs.h"
#include "core/guard.h"
#include "core/settingsstore.h"

#include <QString>

#include <functional>
#include <memory>

namespace pennacle {

// What every flow uses of the window: its boxes, its failure reports, its title, which the
// boxes carry as their caption, and the settings, where the file dialogs keep their folders.
struct FlowContext {
    Dialogs& dialogs;
    Reporter& reporter;
    const QString& appTitle;  // known only once the window has loaded
    SettingsStore& settings;
};

// Where the dialogs for VCF files, to import and to save, open.
inline constexpr char kVcfFolderKey[] = "VcfFolder";

// The file dialogs open in the folder of the file last chosen for the same kind of file; the
// folder is kept in the settings under `folderKey`.
QString chooseFileToOpen(const FlowContext& context, const char* folderKey, const QString& title,
                         const QString& filter);
QStringList chooseFilesToOpen(const FlowContext& context, const char* folderKey,
                              const QString& title, const QString& filter);
QString chooseFileToSave(const FlowContext& context, const char* folderKey, const QString& title,
                         const QString& filter);

// How far long work has come, as the user sees it.
class Progress {
public:
    virtual ~Progress() = default;
    // False once the user has cancelled.
    virtual bool update(qsizetype done, qsizetype total) = 0;
};

// Starts showing the progress of work under a label; it ends when the progress is destroyed.
using StartProgress = std::function<std::unique_ptr<Progress>(const QString& label)>;

// The flows report under the window's procedure names, which users and tests know.
inline QString windowTag(const char* procedure) {
    return procedureTag("Form1", procedure);
}

}  // namespace pennacle
