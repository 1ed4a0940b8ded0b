#pragma once

#include "core/dialogs.h"
#include "core/guard.h"

#include <QString>

#include <functional>
#include <memory>

namespace pennacle {

// What every flow uses of the window: its boxes, its failure reports, and its title, which
// the boxes carry as their caption.
struct FlowContext {
    Dialogs& dialogs;
    Reporter& reporter;
    const QString& appTitle;  // known only once the window has loaded
};

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
