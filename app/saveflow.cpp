#include "app/saveflow.h"

#include <algorithm>

namespace pennacle {

namespace {

// How many names of failed contacts the closing message lists.
constexpr size_t kFailedNamesShown = 5;

}  // namespace

// The failures of one save: the first is shown as the uniform report, the others are only
// counted, so that a folder that takes no file does not open one box per contact.
class SaveFlow::FailureReports : public Reporter {
public:
    explicit FailureReports(Reporter& shown) : shown_(shown) {}
    void showReport(const QString& reportText) override {
        if (count_++ == 0)
            shown_.showReport(reportText);
    }
    qsizetype count() const { return count_; }

private:
    Reporter& shown_;
    qsizetype count_ = 0;
};

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

QString savedOfMessage(qsizetype saved, qsizetype total, const QStringList& firstFailed) {
    QString text = QStringLiteral("Saved %1 of %2 contacts; %3 could not be saved.")
                       .arg(saved)
                       .arg(total)
                       .arg(total - saved);
    if (!firstFailed.isEmpty())
        text += QStringLiteral("\r\rThe first that failed:\r") + firstFailed.join(u'\r');
    return text;
}

std::optional<QString> SaveFlow::save() {
    const FlowContext& context = window_.context;
    Guard g(context.reporter, windowTag("PushButton1_Click"));
    if (!g.test(100, [&] { return !window_.contacts.isEmpty(); }))
        return std::nullopt;
    SaveOptions options;
    g(102, [&] { options = window_.options(); });
    const bool oneFile = options.oneFile;
    if (!oneFile && !options.eachContact)
        return std::nullopt;
    SaveRequest request;
    request.layout = oneFile ? SaveLayout::OneFile : SaveLayout::EachContact;
    g(104, [&] { request.target = chooseTarget(request.layout); });
    if (request.target.isEmpty())
        return std::nullopt;
    std::optional<SaveEncoding> encoding;
    bool cancelled = false;
    g(106, [&] {
        if (options.version) {
            // Written in UTF-8 whatever the encoding options say: nothing to ask.
            request.version = options.version;
            encoding = SaveEncoding::Utf8;
        } else if (options.ansi) {
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
        return std::nullopt;
    // Without a chosen encoding nothing is written, but the command still ends with "Done.".
    SaveOutcome outcome;
    FailureReports failures(context.reporter);
    bool withoutFailures = !encoding;
    if (encoding) {
        request.encoding = *encoding;
        g(108, [&] {
            outcome = writeContacts(request, failures);
            withoutFailures = failures.count() == 0 && outcome.filesFailed == 0;
        });
    }
    // After failures the user learns how many contacts are not saved; a save the user stopped
    // without any says so.
    g(110, [&] {
        context.dialogs.message(context.appTitle,
                                !withoutFailures  ? closingMessage(request, outcome)
                                : outcome.stopped ? QStringLiteral("Save cancelled.")
                                                  : QStringLiteral("Done."));
    });
    if (!encoding || !withoutFailures || outcome.stopped)
        return std::nullopt;
    return request.target;
}

QString SaveFlow::chooseTarget(SaveLayout layout) {
    Dialogs& dialogs = window_.context.dialogs;
    if (layout == SaveLayout::OneFile) {
        return chooseFileToSave(window_.context, kVcfFolderKey, QStringLiteral("Select As ANSI"),
                                QStringLiteral("vCard file|*.vcf|All Files|*"));
    }
    return dialogs.BrowseForFolder(
        QStringLiteral("Please select folder:"),
        window_.settings.ReadSetting(QStringLiteral("LastFolder"), QString()));
}

Dialogs::Answer SaveFlow::askAboutAnsiLoss() {
    // ANSI would write what Windows-1252 lacks as "?": the user chooses first.
    const AnsiLoss loss = findAnsiLoss(window_.contacts.entries());
    if (loss.contacts == 0)
        return Dialogs::Answer::No;
    const FlowContext& context = window_.context;
    return context.dialogs.askYesNoCancel(context.appTitle,
                                          ansiLossQuestion(loss.contacts, loss.firstName));
}

SaveOutcome SaveFlow::writeContacts(const SaveRequest& request, FailureReports& failures) {
    const FlowContext& context = window_.context;
    const auto progress = window_.startProgress(QStringLiteral("Saving contacts..."));
    bool asked = false;
    const std::span<const ContactEntry> contacts = window_.contacts.entries();
    return SaveContacts(contacts, request, failures, [&](qsizetype done, qsizetype total) {
        // Once, after the first failure, while contacts are left: the others may well fail
        // the same way.
        if (failures.count() > 0 && !asked && done < total) {
            asked = true;
            if (context.dialogs.askYesNo(context.appTitle, QStringLiteral("Stop the save?")))
                return false;
        }
        return progress->update(done, total);
    });
}

QString SaveFlow::closingMessage(const SaveRequest& request, const SaveOutcome& outcome) const {
    const ContactList& contacts = window_.contacts;
    const qsizetype total = contacts.count();
    // One file holds every contact or none.
    const qsizetype saved = request.layout == SaveLayout::OneFile
                                ? (outcome.filesWritten > 0 ? total : 0)
                                : outcome.filesWritten;
    QStringList names;
    const size_t shown = std::min(outcome.failedRows.size(), kFailedNamesShown);
    for (size_t i = 0; i < shown; ++i)
        names << contacts.at(outcome.failedRows[i]).Text;
    return savedOfMessage(saved, total, names);
}

}  // namespace pennacle
