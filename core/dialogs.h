#pragma once

#include "core/guard.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pennacle {

// Every modal interaction of the window goes through here, so tests can script it.
class Dialogs {
public:
    enum class Answer { Yes, No, Cancel };
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~Dialogs() = default;

    // File dialogs take the title, a filter in "Description|pattern|Description|pattern"
    // form (several patterns of one entry separated by ";") and the folder to open in; they
    // start with an empty file name, and return the chosen full path exactly as the user gave
    // it (no extension added), or the empty text on cancel. The save dialog asks before it
    // names a file that exists.
    virtual QString ShowOpen(const QString& title, const QString& filter,
                             const QString& startFolder) = 0;
    // Several files, in the order chosen; none on cancel.
    virtual QStringList ShowOpenFiles(const QString& title, const QString& filter,
                                      const QString& startFolder) = 0;
    virtual QString ShowSave(const QString& title, const QString& filter,
                             const QString& startFolder) = 0;

    // Opens on `startFolder`; returns an absolute folder path or the empty text.
    virtual QString BrowseForFolder(const QString& prompt, const QString& startFolder) = 0;

    // OK only, no icon.
    virtual void message(const QString& caption, const QString& text) = 0;
    // OK only, exclamation icon.
    virtual void warning(const QString& caption, const QString& text) = 0;
    // Yes/No, no icon; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // Yes/No for a step that cannot be taken back: warning icon, No the default, Escape No.
    virtual bool askYesNoRisky(const QString& caption, const QString& text) = 0;
    // Yes/No/Cancel, Yes the default; closing the box or Escape answers Cancel.
    virtual Answer askYesNoCancel(const QString& caption, const QString& text) = 0;
    // Save/Discard/Cancel, question icon, Save the default; closing the box or Escape answers
    // Cancel.
    virtual SaveChoice askSaveDiscardCancel(const QString& caption, const QString& text) = 0;
    // OK/Cancel with one text field; nothing on Cancel, so that it differs from an empty OK.
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt) = 0;

    // Shows the folder in the platform's file browser.
    virtual void openFolder(const QString& path) = 0;

    // Where an address book server is and who logs in; `remember` keeps the password in the
    // desktop's key store.
    struct ServerLogin {
        QString address;
        QString user;
        QString password;
        bool remember = false;
    };
    // Server address, user name, password and "Remember", filled in from `start`; nothing on
    // Cancel.
    virtual std::optional<ServerLogin> askServerLogin(const QString& caption,
                                                      const ServerLogin& start) = 0;
    // One of `choices` as buttons, the first the default; -1 when the box is closed or Escape.
    virtual int askChoice(const QString& caption, const QString& text,
                          const QStringList& choices) = 0;
    // One item of a list; -1 on Cancel.
    virtual int chooseItem(const QString& caption, const QString& prompt,
                           const QStringList& items) = 0;
};

// Shows failure reports in the "Application Error" box.
class DialogsReporter : public Reporter {
public:
    explicit DialogsReporter(Dialogs& dialogs) : dialogs_(dialogs) {}
    void showReport(const QString& reportText) override;

private:
    Dialogs& dialogs_;
};

// "VCF files|*.vcf|All Files|*" -> "VCF files (*.vcf *.VCF);;All Files (*)". Each pattern
// also comes in lower and upper case, so that names match in any case, as on Windows.
QString qtFilterFromPipeFilter(const QString& pipeFilter);

}  // namespace pennacle
