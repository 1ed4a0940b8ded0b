#include "core/startup.h"

#include <QDir>
#include <QFileInfo>

namespace pennacle {

namespace {

// The toolkit's own options, which it takes from the command line itself.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"style", true},
    {"stylesheet", true},      {"session", true},
    {"display", true},         {"reverse", false},
};

const ToolkitOption* toolkitOption(QStringView argument) {
    while (argument.startsWith(u'-'))
        argument = argument.mid(1);
    const QStringView name = argument.left(argument.indexOf(u'='));
    for (const ToolkitOption& option : kToolkitOptions) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

bool isOption(const QString& argument) {
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

WindowCommandLine usageError(const QString& problem) {
    WindowCommandLine line;
    line.action = WindowCommandLine::Action::UsageError;
    line.problem = problem;
    return line;
}

}  // namespace

WindowCommandLine parseWindowCommandLine(const QStringList& arguments) {
    WindowCommandLine line;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!options || !isOption(argument)) {
            line.files << argument;
        } else if (argument == u"--") {
            options = false;
        } else if (argument == u"--help" || argument == u"-h") {
            return {.action = WindowCommandLine::Action::Help,
                    .files = {},
                    .qtOptions = {},
                    .problem = {}};
        } else if (argument == u"--version") {
            return {.action = WindowCommandLine::Action::Version,
                    .files = {},
                    .qtOptions = {},
                    .problem = {}};
        } else if (const ToolkitOption* option = toolkitOption(argument)) {
            line.qtOptions << argument;
            if (option->takesValue && !argument.contains(QLatin1Char('='))) {
                if (++i == arguments.size())
                    return usageError(QStringLiteral("%1 needs a value").arg(argument));
                line.qtOptions << arguments.at(i);
            }
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    return line;
}

QString windowUsageText() {
    return QStringLiteral(
        "Usage: pennacle [OPTIONS] [FILE...]\n"
        "\n"
        "Opens the Pennacle Suite window and imports the VCF files named, in order.\n"
        "\n"
        "Options:\n"
        "  -h, --help       show this text\n"
        "  --version        show the version\n"
        "  --               what follows are files, even when it starts with \"-\"\n"
        "  -style NAME, -platform NAME, -reverse, ...\n"
        "                   the options of the Qt toolkit\n"
        "\n"
        "Exit status: 0 when the window closes; 2 usage error.\n"
        "pennacle-cli does the same work without a window.\n");
}

QString applicationTitle(const QString& productName) {
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break;
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

bool FileExists(const QString& path) noexcept {
    try {
        if (path.isEmpty())
            return false;
        const QFileInfo info(path);
        return info.exists() && info.lastModified().isValid();
    } catch (...) {
        return false;
    }
}

QString skinFilePath(const QString& appFolder) {
    return QDir(appFolder).filePath(QStringLiteral("x/o.cjs"));
}

QString pointerFilePath(const QString& appFolder) {
    return QDir(appFolder).filePath(QStringLiteral("HAND-M.CUR"));
}

}  // namespace pennacle
