#pragma once

#include "core/contactentry.h"
#include "core/guard.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <vector>

namespace pennacle::cli {

// Exit statuses of every command.
enum ExitStatus : int {
    kDone = 0,        // no failure report
    kReported = 1,    // done, but a failure report or characters ANSI lost went to stderr
    kUsageError = 2,  // bad arguments, or an argument file that cannot be read
};

// Writes each failure report to stderr as the error box would show it, with LF line ends
// and a line "----" between two reports.
class StderrReporter : public Reporter {
public:
    void showReport(const QString& reportText) override;
    int count() const { return count_; }
    // kReported once anything was reported, otherwise kDone.
    int exitStatus() const { return count_ > 0 ? kReported : kDone; }

private:
    int count_ = 0;
};

// Bytes to stdout as they are.
void printOut(const QByteArray& bytes);
// Text to stdout / stderr as UTF-8, exactly as given.
void printOut(const QString& text);
void printError(const QString& text);
// Prints "pennacle-cli: <message>" and a pointer to --help on stderr; returns kUsageError.
int usageError(const QString& message);

// Option parsing over the arguments that follow the command name. Options may stand anywhere
// before a "--"; what is left after taking them out are the operands.
// Takes "--name VALUE" or "--name=VALUE" out of `args`. Returns false when the option is
// absent; throws Failure when it has no value or is given twice.
bool takeOption(QStringList& args, QLatin1StringView name, QString& value);
// Takes a flag such as "--ansi" out of `args`; whether it was there.
bool takeFlag(QStringList& args, QLatin1StringView name);
// The operands left in `args` ("--" dropped); throws Failure on any unknown "--option".
QStringList operands(const QStringList& args);

// Imports FILE... in order into one list, each as the import command imports one file, and
// says on stderr of each file that holds no contact. Prints the reason and returns false when
// a file cannot be read.
bool importFiles(const QStringList& files, std::vector<ContactEntry>& list, Reporter& reporter);

// The commands; `args` are the arguments after the command name. Each returns its exit status.
int runNames(QStringList args);
int runCard(QStringList args);
int runForm(QStringList args);
int runFind(QStringList args);
int runBuild(QStringList args);
int runSave(QStringList args);
int runDuplicates(QStringList args);
int runPull(QStringList args);
int runPush(QStringList args);

}  // namespace pennacle::cli
