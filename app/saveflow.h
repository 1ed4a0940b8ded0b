#pragma once

#include "app/flowcontext.h"
#include "cards/save.h"
#include "contacts/contactlist.h"
#include "core/settingsstore.h"

#include <functional>

namespace pennacle {

// The save options as the window's option buttons stand.
struct SaveOptions {
    bool oneFile = false;      // "Save all contacts to one VCF"
    bool eachContact = false;  // "Save each contact to separate VCF"
    bool ansi = false;         // "Save As ANSI"
    bool utf8 = false;         // "Save As UTF8"
};

// "Save As VCF": where to, in which encoding (asking first when ANSI would lose characters),
// then the save itself with its progress.
class SaveFlow {
public:
    struct Window {
        FlowContext context;
        const ContactList& contacts;
        const SettingsStore& settings;
        std::function<SaveOptions()> options;
        StartProgress startProgress;
    };

    explicit SaveFlow(Window window) : window_(std::move(window)) {}

    void save();

private:
    QString chooseTarget(SaveLayout layout);
    // No when nothing would be lost, so the ANSI save goes ahead.
    Dialogs::Answer askAboutAnsiLoss();
    SaveOutcome write(const SaveRequest& request);

    Window window_;
};

// The question before an ANSI save that would write characters as "?".
QString ansiLossQuestion(qsizetype contacts, const QString& firstName);

}  // namespace pennacle
