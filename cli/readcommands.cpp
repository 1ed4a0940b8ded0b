// The commands that only read: names, card, form, find and duplicates.

#include "cards/duplicates.h"
#include "cards/loader.h"
#include "cards/searchtext.h"
#include "cli/commands.h"
#include "cli/formjson.h"
#include "contacts/contactsearch.h"

#include <QRegularExpression>

namespace pennacle::cli {

namespace {

// What the commands share: FILE... imported into one list, and for card and form the row
// chosen by --index (1-based, 1 when not given).
struct ImportedFiles {
    std::vector<ContactEntry> list;
    StderrReporter reporter;
    qsizetype row = 0;
};

// A whole number as toLongLong reads one, also one past the range of any integer: that is
// only a position outside the list.
bool isWholeNumber(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]+$"));
    return pattern.match(text.trimmed()).hasMatch();
}

// The list row at a 1-based position, or -1 when the list has none there. The position is
// compared as given: one less than the lowest integer has no value.
qsizetype rowAt(const QString& position, qsizetype count) {
    bool ok = false;
    const qlonglong number = position.toLongLong(&ok);
    return ok && number >= 1 && number <= count ? qsizetype(number - 1) : -1;
}

// Takes --index out of `args` when `index` is given (left as it is when absent), and the
// operands. Returns kDone, or the exit status to end with.
int takeArguments(QStringList args, QString* index, QStringList& operandsLeft) {
    try {
        if (index && takeOption(args, QLatin1StringView("index"), *index) &&
            !isWholeNumber(*index)) {
            return usageError(QStringLiteral("--index needs a whole number, not ") + *index);
        }
        operandsLeft = operands(args);
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    return kDone;
}

int importOperands(const QStringList& files, ImportedFiles& imported) {
    if (files.isEmpty()) {
        return usageError(QStringLiteral("no VCF file given"));
    }
    return importFiles(files, imported.list, imported.reporter) ? kDone : kUsageError;
}

int pickRow(const QString& index, ImportedFiles& imported) {
    imported.row = rowAt(index, qsizetype(imported.list.size()));
    if (imported.row < 0) {
        return usageError(QStringLiteral("--index %1 is outside the list of %2 contacts")
                              .arg(index.trimmed())
                              .arg(imported.list.size()));
    }
    return kDone;
}

// Returns kDone when the list is ready, otherwise the exit status to end with.
int importArguments(QStringList args, bool takesIndex, ImportedFiles& imported) {
    QString index = QStringLiteral("1");
    QStringList files;
    if (const int status = takeArguments(std::move(args), takesIndex ? &index : nullptr, files);
        status != kDone) {
        return status;
    }
    if (const int status = importOperands(files, imported); status != kDone) {
        return status;
    }
    return takesIndex ? pickRow(index, imported) : kDone;
}

// The 1-based list positions of the rows found, one a line.
QByteArray shownPositions(const std::vector<int>& rows) {
    QByteArray out;
    out.reserve(qsizetype(rows.size()) * 8);
    for (const int row : rows) {
        out.append(QByteArray::number(row + 1)).append('\n');
    }
    return out;
}

// The imported files live until the process ends: freeing 100,000 cards one by one takes
// longer than reading their names, and the system takes the memory back at once.
ImportedFiles& keptUntilExit() {
    static auto* const files = new ImportedFiles;
    return *files;
}

}  // namespace

int runNames(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    if (const int status = importArguments(std::move(args), false, imported); status != kDone) {
        return status;
    }
    qsizetype length = 0;
    for (const ContactEntry& contact : imported.list) {
        length += contact.Text.size() + 1;
    }
    QString out;
    out.reserve(length);
    for (const ContactEntry& contact : imported.list) {
        out.append(contact.Text).append(u'\n');
    }
    printOut(out);
    return imported.reporter.exitStatus();
}

int runCard(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    if (const int status = importArguments(std::move(args), true, imported); status != kDone) {
        return status;
    }
    // The card's text as the list holds it, its own line ends included.
    printOut(imported.list.at(size_t(imported.row)).card.text());
    return imported.reporter.exitStatus();
}

int runForm(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    if (const int status = importArguments(std::move(args), true, imported); status != kDone) {
        return status;
    }
    // The card is let go before the form is written out.
    CardBytes card = imported.list.at(size_t(imported.row)).card;
    imported.list = {};
    const CardForm form = loadCardForm(card, imported.reporter);
    card = CardBytes();
    printOut(formToJson(form));
    return imported.reporter.exitStatus();
}

int runFind(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    QStringList operandsLeft;
    if (const int status = takeArguments(std::move(args), nullptr, operandsLeft); status != kDone) {
        return status;
    }
    if (operandsLeft.isEmpty()) {
        return usageError(QStringLiteral("find needs the text to find"));
    }
    const QString text = operandsLeft.takeFirst();
    if (const int status = importOperands(operandsLeft, imported); status != kDone) {
        return status;
    }
    // The find bar's own matching, so that a script finds exactly what the window shows.
    printOut(shownPositions(findContacts(imported.list, contactSearchText, text)));
    return imported.reporter.exitStatus();
}

int runDuplicates(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    QString region = systemPhoneRegion();
    try {
        static const QRegularExpression twoLetters(QStringLiteral("^[A-Za-z]{2}$"));
        if (takeOption(args, QLatin1StringView("region"), region) &&
            !twoLetters.match(region).hasMatch()) {
            return usageError(QStringLiteral("--region needs a two-letter country code, not ") +
                              region);
        }
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    if (const int status = importArguments(std::move(args), false, imported); status != kDone) {
        return status;
    }
    QByteArray out;
    for (const DuplicateGroup& group : findDuplicates(imported.list, region)) {
        for (size_t i = 0; i < group.rows.size(); ++i)
            out.append(i ? " " : "").append(QByteArray::number(group.rows[i] + 1));
        out.append('\t').append(duplicateReasonsText(group.reasons).toUtf8()).append('\n');
    }
    printOut(out);
    return imported.reporter.exitStatus();
}

}  // namespace pennacle::cli
