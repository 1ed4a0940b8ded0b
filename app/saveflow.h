#pragma once

#include "app/flowcontext.h"
#include "cards/save.h"
#include "contacts/contactlist.h"
#include "core/settingsstore.h"

#include <functional>
#include <optional>

namespace pennacle {

// The save options as the window's option buttons stand.
struct SaveOptions {
    bool oneFile = false;      // "Save all contacts to one VCF"
    bool eachContact = false;  // "Save each contact to separate VCF"
    bool ansi = false;         // "Save As ANSI"
    bool utf8 = false;         // "Save As UTF8"
    // "Write cards": every card in this version (in UTF-8), or each as it was read.
    std::optional<CardVersion> version;
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

    // The file or folder saved to when every contact was saved; nothing when the save was
    // not made, stopped, or had failures.
    std::optional<QString> save();

private:
    class FailureReports;

    QString chooseTarget(SaveLayout layout);
    // No when nothing would be lost, so the ANSI save goes ahead.
    Dialogs::Answer askAboutAnsiLoss();
    SaveOutcome writeContacts(const SaveRequest& request, FailureReports& failures);
    QString closingMessage(const SaveRequest& request, const SaveOutcome& outcome) const;

    Window window_;
};

// The question before an ANSI save that would write characters as "?".
QString ansiLossQuestion(qsizetype contacts, const QString& firstName);

// The end of a save that had failures: how many of the contacts were saved, then the names of
// the first that failed, if any are given.
QString savedOfMessage(qsizetype saved, qsizetype total, const QStringList& firstFailed);

}  // namespace pennacle
