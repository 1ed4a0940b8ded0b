#include "cards/importer.h"
#include "cli/commands.h"
#include "core/linebreaks.h"

#include <cstdio>

namespace pennacle::cli {

namespace {

void writeTo(std::FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

bool isOptionLike(const QString& arg) {
    return arg.startsWith(QStringLiteral("--")) && arg.size() > 2;
}

}  // namespace

void StderrReporter::showReport(const QString& reportText) {
    QString text;
    if (count_ > 0) {
        text = QStringLiteral("----\n");
    }
    text += withLfBreaks(reportText) + u'\n';
    printError(text);
    ++count_;
}

void printOut(const QByteArray& bytes) {
    writeTo(stdout, bytes);
}

void printOut(const QString& text) {
    writeTo(stdout, text.toUtf8());
}

void printError(const QString& text) {
    writeTo(stderr, text.toUtf8());
}

int usageError(const QString& message) {
    printError(QStringLiteral("pennacle-cli: ") + message +
               QStringLiteral("\nTry 'pennacle-cli --help' for more information.\n"));
    return kUsageError;
}

bool takeOption(QStringList& args, QLatin1StringView name, QString& value) {
    const QString option = QStringLiteral("--") + name;
    const QString withValue = option + u'=';
    bool found = false;
    for (qsizetype i = 0; i < args.size();) {
        const QString& arg = args[i];
        if (arg == u"--") {
            break;
        }
        const bool separate = arg == option;
        if (!separate && !arg.startsWith(withValue)) {
            ++i;
            continue;
        }
        if (found) {
            throw Failure(option + QStringLiteral(" is given more than once"));
        }
        found = true;
        if (separate) {
            if (i + 1 >= args.size()) {
                throw Failure(option + QStringLiteral(" needs a value"));
            }
            value = args[i + 1];
            args.remove(i, 2);
        } else {
            value = arg.mid(withValue.size());
            args.remove(i);
        }
    }
    return found;
}

bool takeFlag(QStringList& args, QLatin1StringView name) {
    const QString flag = QStringLiteral("--") + name;
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const qsizetype at = args.indexOf(flag);
    if (at < 0 || (end >= 0 && at > end)) {
        return false;
    }
    args.remove(at);
    return true;
}

QStringList operands(const QStringList& args) {
    QStringList result;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && isOptionLike(arg)) {
            throw Failure(QStringLiteral("unknown option ") + arg);
        } else {
            result << arg;
        }
    }
    return result;
}

bool importFiles(const QStringList& files, std::vector<ContactEntry>& list, Reporter& reporter) {
    for (const QString& file : files) {
        try {
            // As the window says it: a script would otherwise go on with nothing, unaware.
            if (importCardFile(file, list, reporter) == 0) {
                printError(QStringLiteral("No contacts were found in \"%1\".\n").arg(file));
            }
        } catch (const Failure& failure) {
            printError(QStringLiteral("pennacle-cli: cannot read ") + file + QStringLiteral(": ") +
                       failure.description() + u'\n');
            return false;
        }
    }
    return true;
}

}  // namespace pennacle::cli
