// The commands that write: build and save.

#include "cards/rebuild.h"
#include "cards/save.h"
#include "cli/commands.h"
#include "cli/formjson.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace pennacle::cli {

namespace {

// The form file's bytes; "-" reads standard input, so that `form ... | build -` works.
bool readFormFile(const QString& path, QByteArray& bytes) {
    QFile file;
    const bool opened = path == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                     : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        printError(
            QStringLiteral("pennacle-cli: cannot read %1: %2\n").arg(path, file.errorString()));
        return false;
    }
    bytes = file.readAll();
    return true;
}

// Read as the wall-clock fields it gives, whatever the time zone (a time that a clock change
// skips is still a valid REV).
bool parseNow(const QString& text, QDateTime& now) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})T(\\d{2}:\\d{2}:\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return false;
    }
    const QDate date = QDate::fromString(match.captured(1), Qt::ISODate);
    const QTime time = QTime::fromString(match.captured(2), Qt::ISODate);
    now = QDateTime(date, time, Qt::UTC);
    return date.isValid() && time.isValid();
}

}  // namespace

int runBuild(QStringList args) {
    QString nowText;
    bool hasNow = false;
    QStringList files;
    try {
        hasNow = takeOption(args, QLatin1StringView("now"), nowText);
        files = operands(args);
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    if (files.size() != 1) {
        return usageError(QStringLiteral("build takes one form file (JSON)"));
    }
    QDateTime now = QDateTime::currentDateTime();
    if (hasNow && !parseNow(nowText, now)) {
        return usageError(QStringLiteral("--now needs a local time as YYYY-MM-DDTHH:MM:SS, not ") +
                          nowText);
    }
    QByteArray json;
    if (!readFormFile(files.first(), json)) {
        return kUsageError;
    }
    CardForm form;
    try {
        form = formFromJson(json);
        checkPhotoTypes(form);
    } catch (const Failure& failure) {
        printError(
            QStringLiteral("pennacle-cli: %1: %2\n").arg(files.first(), failure.description()));
        return kUsageError;
    }
    StderrReporter reporter;
    // The card text as the contact would hold it: CR LF inside, nothing after "END:VCARD".
    printOut(rebuildCard(form, now, reporter).bytes());
    return reporter.exitStatus();
}

int runSave(QStringList args) {
    QString onePath;
    QString eachFolder;
    QStringList files;
    bool hasOne = false;
    bool hasEach = false;
    bool ansi = false;
    bool utf8 = false;
    QString version;
    bool hasVersion = false;
    try {
        hasVersion = takeOption(args, QLatin1StringView("vcard"), version);
        hasOne = takeOption(args, QLatin1StringView("one"), onePath);
        hasEach = takeOption(args, QLatin1StringView("each"), eachFolder);
        ansi = takeFlag(args, QLatin1StringView("ansi"));
        utf8 = takeFlag(args, QLatin1StringView("utf8"));
        files = operands(args);
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    if (hasOne == hasEach) {
        return usageError(QStringLiteral("save needs exactly one of --one PATH and --each DIR"));
    }
    if (ansi && utf8) {
        return usageError(QStringLiteral("choose one of --ansi and --utf8"));
    }
    std::optional<CardVersion> cardVersion;
    if (hasVersion) {
        if (version != u"3.0" && version != u"4.0")
            return usageError(QStringLiteral("--vcard takes 3.0 or 4.0"));
        cardVersion = version == u"3.0" ? CardVersion::V30 : CardVersion::V40;
    }
    const QString& target = hasOne ? onePath : eachFolder;
    if (target.isEmpty()) {
        return usageError(hasOne ? QStringLiteral("--one needs a file path")
                                 : QStringLiteral("--each needs a folder"));
    }
    if (files.isEmpty()) {
        return usageError(QStringLiteral("no VCF file given"));
    }

    std::vector<ContactEntry> list;
    StderrReporter reporter;
    if (!importFiles(files, list, reporter)) {
        return kUsageError;
    }
    if (list.empty()) {
        printError(QStringLiteral("No contacts to save.\n"));
        return reporter.exitStatus();
    }
    if (hasEach) {
        // The window's folder picker only offers folders that exist; here the folder may
        // still have to be made. When that fails, every file's failure is reported.
        QDir().mkpath(eachFolder);
    }
    const SaveRequest request{hasOne ? SaveLayout::OneFile : SaveLayout::EachContact,
                              utf8 ? SaveEncoding::Utf8 : SaveEncoding::Ansi, target, cardVersion};
    bool lossy = false;
    // A version is written in UTF-8, whatever --ansi says.
    if (request.encoding == SaveEncoding::Ansi && !request.version) {
        // The window asks first; here the save goes on as asked, says what it changed, and
        // ends as after a failure, so that a script notices.
        if (const AnsiLoss loss = findAnsiLoss(list); loss.contacts > 0) {
            printError(QStringLiteral("pennacle-cli: %1 contact(s) hold characters that ANSI "
                                      "cannot hold, written as \"?\" (the first: %2); --utf8 "
                                      "keeps them\n")
                           .arg(loss.contacts)
                           .arg(loss.firstName));
            lossy = true;
        }
    }
    SaveContacts(list, request, reporter);
    printOut(QStringLiteral("Done.\n"));
    return lossy ? kReported : reporter.exitStatus();
}

}  // namespace pennacle::cli
