#include "app/saveflow.h"

#include <optional>

namespace pennacle {

QString ansiLossQuestion(qsizetype contacts, const QString& firstName) {
    const QString who = contacts == 1
                            ? QStringLiteral("The contact \"%1\" holds").arg(firstName)
                            : QStringLiteral("%1 contacts, the first of them \"%2\", hold")
                                  .arg(contacts)
                                  .arg(firstName);
    return who + QStringLiteral(
                     " characters that ANSI (Windows-1252) cannot store; saved as ANSI, each "
                     "of them becomes \"?\".\r\r"
                     "Save as UTF-8 instead?\r\r"
                     "Yes: save as UTF-8.\rNo: save as ANSI anyway.\rCancel: do not save.");
}

void SaveFlow::save() {
    const FlowContext& context = window_.context;
    Guard g(context.reporter, windowTag("PushButton1_Click"));
    if (!g.test(100, [&] { return !window_.contacts.isEmpty(); }))
        return;
    SaveOptions options;
    g(102, [&] { options = window_.options(); });
    const bool oneFile = options.oneFile;
    if (!oneFile && !options.eachContact)
        return;
    SaveRequest request;
    request.layout = oneFile ? SaveLayout::OneFile : SaveLayout::EachContact;
    g(104, [&] { request.target = chooseTarget(request.layout); });
    if (request.target.isEmpty())
        return;
    std::optional<SaveEncoding> encoding;
    bool cancelled = false;
    g(106, [&] {
        if (options.ansi) {
            encoding = SaveEncoding::Ansi;
            const Dialogs::Answer answer = askAboutAnsiLoss();
            if (answer == Dialogs::Answer::Yes)
                encoding = SaveEncoding::Utf8;
            cancelled = answer == Dialogs::Answer::Cancel;
        } else if (options.utf8) {
            encoding = SaveEncoding::Utf8;
        }
    });
    if (cancelled)
        return;
    // Without a chosen encoding nothing is written, but the command still ends with "Done.".
    SaveOutcome outcome;
    if (encoding) {
        request.encoding = *encoding;
        g(108, [&] { outcome = write(request); });
    }
    // After failures the save still ends with "Done.", but a save the user stopped does not.
    g(110, [&] {
        context.dialogs.message(context.appTitle, outcome.stopped
                                                      ? QStringLiteral("Save cancelled.")
                                                      : QStringLiteral("Done."));
    });
}

QString SaveFlow::chooseTarget(SaveLayout layout) {
    Dialogs& dialogs = window_.context.dialogs;
    if (layout == SaveLayout::OneFile) {
        return dialogs.ShowSave(QStringLiteral("Select As ANSI"),
                                QStringLiteral("vCard file(*.vcf)|*.vcf|All Files(*.*|*.*"));
    }
    return dialogs.BrowseForFolder(
        QStringLiteral("Please select folder:"),
        window_.settings.ReadSetting(QStringLiteral("LastFolder"), QString()));
}

Dialogs::Answer SaveFlow::askAboutAnsiLoss() {
    // ANSI would write what Windows-1252 lacks as "?": the user chooses first.
    const AnsiLoss loss = findAnsiLoss(window_.contacts);
    if (loss.contacts == 0)
        return Dialogs::Answer::No;
    const FlowContext& context = window_.context;
    return context.dialogs.askYesNoCancel(context.appTitle,
                                          ansiLossQuestion(loss.contacts, loss.firstName));
}

SaveOutcome SaveFlow::write(const SaveRequest& request) {
    const auto progress = window_.startProgress(QStringLiteral("Saving contacts..."));
    return SaveContacts(
        window_.contacts, request, window_.context.reporter,
        [&](qsizetype done, qsizetype total) { return progress->update(done, total); });
}

}  // namespace pennacle
