// pennacle-cli: the card engine from the command line, without a window.

#include "cli/commands.h"

#include <QCoreApplication>

#include <functional>
#include <map>

namespace {

constexpr auto kVersion = PENNACLE_VERSION;

QString helpText() {
    return QStringLiteral(
        "Usage: pennacle-cli COMMAND [ARGUMENTS]\n"
        "\n"
        "FILE... is one or more VCF files, imported in order into one contact list as\n"
        "\"Add Contact(s) From 1 VCF File\" imports a file.\n"
        "\n"
        "Commands:\n"
        "  names FILE...                 print the display name of every contact, one a line\n"
        "  card FILE... [--index N]      print the card text of contact N (default 1)\n"
        "  form FILE... [--index N]      print the form that contact N loads into, as JSON\n"
        "  find TEXT FILE...             print the positions (1-based) of the contacts that\n"
        "                                the window's find bar shows for TEXT, one a line\n"
        "  build FORM.json [--now ...]   the card text that a form (JSON) builds\n"
        "  save FILE... (--one PATH | --each DIR) [--ansi|--utf8] [--vcard 3.0|4.0]\n"
        "                                save the contacts into one file or one per contact;\n"
        "                                --vcard writes every card in that version, in UTF-8\n"
        "  duplicates FILE... [--region CC]\n"
        "                                print each group of probable duplicates: its\n"
        "                                positions (1-based), a tab, and why (\"same card\",\n"
        "                                \"same e-mail\", \"same phone\", \"same name\");\n"
        "                                national numbers are of country CC (default: the\n"
        "                                system's)\n"
        "  pull URL --user NAME --password-file FILE --out OUT.vcf\n"
        "                                download the address book at URL (the collection)\n"
        "                                into OUT.vcf (UTF-8, cards as the server sent them)\n"
        "                                and what a push needs to know into OUT.vcf.carddav\n"
        "  push IN.vcf URL --user NAME --password-file FILE [--delete]\n"
        "                                upload what changed in IN.vcf since its pull: edited\n"
        "                                cards (If-Match), new UIDs (If-None-Match: *), and\n"
        "                                with --delete the removal of pulled cards that\n"
        "                                IN.vcf lacks; a card changed on the server since is\n"
        "                                a conflict, left alone and reported (exit 1)\n"
        "                                The password is the first line of FILE.\n"
        "\n"
        "Options:\n"
        "  --help                        show this text\n"
        "  --version                     show the version\n"
        "\n"
        "Exit status: 0 done; 1 done, but failure reports were printed to stderr\n"
        "(separated by a line \"----\"), or an ANSI save wrote characters as \"?\";\n"
        "2 usage error or a file that cannot be read.\n");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pennacle-cli"));
    QCoreApplication::setApplicationVersion(QLatin1String(kVersion));

    using namespace pennacle::cli;
    QStringList args = QCoreApplication::arguments().mid(1);
    const qsizetype optionsEnd =
        args.contains(QStringLiteral("--")) ? args.indexOf(QStringLiteral("--")) : args.size();
    const QStringList options = args.mid(0, optionsEnd);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        printOut(helpText());
        return kDone;
    }
    if (options.contains(QStringLiteral("--version"))) {
        printOut(QStringLiteral("pennacle-cli %1\n").arg(QLatin1String(kVersion)));
        return kDone;
    }
    if (args.isEmpty()) {
        printError(helpText());
        return kUsageError;
    }

    const std::map<QString, std::function<int(QStringList)>> commands = {
        {QStringLiteral("names"), runNames},
        {QStringLiteral("card"), runCard},
        {QStringLiteral("form"), runForm},
        {QStringLiteral("build"), runBuild},
        {QStringLiteral("save"), runSave},
        {QStringLiteral("find"), runFind},
        {QStringLiteral("duplicates"), runDuplicates},
        {QStringLiteral("pull"), runPull},
        {QStringLiteral("push"), runPush},
    };
    const QString command = args.takeFirst();
    const auto found = commands.find(command);
    if (found == commands.end()) {
        return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
    }
    return found->second(std::move(args));
}
