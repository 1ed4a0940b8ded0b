// The commands that only read: names, card and form.

#include "cards/loader.h"
#include "cli/commands.h"
#include "cli/formjson.h"

namespace pennacle::cli {

namespace {

// What names, card and form share: FILE... imported into one list, and for card and form
// the row chosen by --index (1-based, 1 when not given).
struct ImportedFiles {
    ContactList list;
    StderrReporter reporter;
    qsizetype row = 0;
};

// Returns kDone when the list is ready, otherwise the exit status to end with.
int importArguments(QStringList args, bool takesIndex, ImportedFiles& imported) {
    QString indexText;
    QStringList files;
    try {
        const bool hasIndex = takesIndex && takeOption(args, QLatin1StringView("index"), indexText);
        files = operands(args);
        if (hasIndex) {
            bool ok = false;
            imported.row = indexText.toLongLong(&ok) - 1;
            if (!ok) {
                return usageError(QStringLiteral("--index needs a whole number, not ") + indexText);
            }
        }
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    if (files.isEmpty()) {
        return usageError(QStringLiteral("no VCF file given"));
    }
    if (!importFiles(files, imported.list, imported.reporter)) {
        return kUsageError;
    }
    if (takesIndex && (imported.row < 0 || imported.row >= imported.list.count())) {
        return usageError(QStringLiteral("--index %1 is outside the list of %2 contacts")
                              .arg(imported.row + 1)
                              .arg(imported.list.count()));
    }
    return kDone;
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
    for (qsizetype i = 0; i < imported.list.count(); ++i) {
        length += imported.list.at(i).Text.size() + 1;
    }
    QString out;
    out.reserve(length);
    for (qsizetype i = 0; i < imported.list.count(); ++i) {
        out.append(imported.list.at(i).Text).append(u'\n');
    }
    printOut(out);
    return imported.reporter.exitStatus();
}

int runCard(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    if (const int status = importArguments(std::move(args), true, imported); status != kDone) {
        return status;
    }
    // The card as the list holds it, its own line ends included.
    printOut(imported.list.at(imported.row).card);
    return imported.reporter.exitStatus();
}

int runForm(QStringList args) {
    ImportedFiles& imported = keptUntilExit();
    if (const int status = importArguments(std::move(args), true, imported); status != kDone) {
        return status;
    }
    // The card is let go before the form is written out: a card of 50 MB is 100 MB of text.
    QString card = imported.list.at(imported.row).card;
    imported.list.clear();
    const CardForm form = loadCardForm(card, imported.reporter);
    card.clear();
    printOut(formToJson(form));
    return imported.reporter.exitStatus();
}

}  // namespace pennacle::cli
