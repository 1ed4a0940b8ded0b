// The window's flows without the window: each over a contact list, scripted dialogs, collected
// reports and a recording stand-in for the few things it asks of the window.
#include "app/importflow.h"
#include "app/photoflow.h"
#include "app/saveflow.h"
#include "cards/photolines.h"
#include "support/collectingreporter.h"
#include "support/files.h"
#include "support/scripteddialogs.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace pennacle;

namespace {

QByteArray card(const char* n) {
    return QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN:") + n + "\r\nEND:VCARD\r\n";
}

QByteArray jpegBytes() {
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// Lets the work go on for `allowed` updates, then answers as a user's Cancel would.
class ScriptedProgress : public Progress {
public:
    explicit ScriptedProgress(int allowed) : allowed_(allowed) {}
    bool update(qsizetype, qsizetype) override { return allowed_-- > 0; }

private:
    int allowed_;
};

// What a flow needs of a window, recorded.
struct FakeWindow {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    CollectingReporter reporter;
    QString appTitle = QStringLiteral("Pennacle");
    ContactList contacts;
    SettingsStore settings{dir.filePath("settings.ini")};
    SaveOptions options;
    PhotoList photos;
    int selectedPhoto = -1;
    bool quiet = false;
    bool loudSelection = false;  // a selection change the window would take as the user's pick
    QString preview = QStringLiteral("untouched");
    int rebuilds = 0;
    int progressAllowed = 1000;
    QStringList shown;  // cards shown in the form
    QStringList pictures;

    int progressesStarted = 0;

    FlowContext context() { return {dialogs, reporter, appTitle, settings}; }
    StartProgress startProgress() {
        return [this](const QString&) {
            ++progressesStarted;
            return std::make_unique<ScriptedProgress>(progressAllowed);
        };
    }
    ImportFlow importFlow() {
        return ImportFlow({context(), contacts, startProgress(), [] {},
                           [this](const pennacle::CardBytes& card) { shown << card.text(); },
                           [this](const QString& path) { pictures << QFileInfo(path).fileName(); },
                           [](const QString&, bool) {}});
    }
    SaveFlow saveFlow() {
        return SaveFlow(
            {context(), contacts, settings, [this] { return options; }, startProgress()});
    }
    PhotoFlow photoFlow() {
        return PhotoFlow({context(), photos, [this] { return selectedPhoto; },
                          [this](int row) {
                              selectedPhoto = row;
                              loudSelection = loudSelection || !quiet;
                          },
                          [this](const std::function<void()>& change) {
                              quiet = true;
                              change();
                              quiet = false;
                          },
                          [] { return QSize(20, 20); },
                          [this](const QImage& picture) {
                              preview = picture.width() <= 20 ? "shown" : "too large";
                          },
                          [this] { preview = "cleared"; }, [this] { ++rebuilds; }});
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        writeBytes(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
    // Where each report points, e.g. "PushButton2_Click at line 102".
    QStringList reportedSteps() const {
        QStringList steps;
        for (const QString& report : reporter.reports)
            steps << report.section(QStringLiteral("Form1."), 1).section(u'\r', 0, 0);
        return steps;
    }
};

}  // namespace

class TestFlows : public QObject {
    Q_OBJECT
private slots:
    void importFile_data();
    void importFile();
    void importSeveralFiles_data();
    void importSeveralFiles();
    void fileDialogsOpenWhereTheLastFileWasChosen();
    void dropFiles_data();
    void dropFiles();
    void save_data();
    void save();
    void photoCommands_data();
    void photoCommands();
};

void TestFlows::importFile_data() {
    QTest::addColumn<QByteArray>("bytes");  // "<none>": no file at all
    QTest::addColumn<int>("progressAllowed");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("steps");
    const QStringList none;
    QTest::newRow("two cards: the first is shown")
        << card("Haddad;Noor") + card("Okafor;Ada") << 1000 << 2 << none << none;
    QTest::newRow("no card: the user is told")
        << QByteArray("hello") << 1000 << 0
        << QStringList{"Pennacle|No contacts were found in \"cards.vcf\"."} << none;
    QTest::newRow("stopped by the user: nothing added, nothing said")
        << card("Haddad;Noor") << 0 << 0 << none << none;
    QTest::newRow("unreadable: reported, nothing said")
        << QByteArray("<none>") << 1000 << 0 << none
        << QStringList{"PushButton2_Click at line 102"};
}

void TestFlows::importFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, progressAllowed);
    QFETCH(int, rows);
    FakeWindow window;
    window.progressAllowed = progressAllowed;
    const QString path =
        bytes == "<none>" ? window.dir.filePath("cards.vcf") : window.writeFile("cards.vcf", bytes);
    window.dialogs.fileAnswers.enqueue(path);
    window.importFlow().chooseFile();
    QCOMPARE(window.contacts.count(), rows);
    QCOMPARE(window.shown,
             rows > 0 ? QStringList{window.contacts.at(0).card.text()} : QStringList{});
    QTEST(window.dialogs.callsOf("message"), "messages");
    QTEST(window.reportedSteps(), "steps");
}

void TestFlows::importSeveralFiles_data() {
    QTest::addColumn<QStringList>("files");  // written but "missing.vcf"
    QTest::addColumn<int>("progressAllowed");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("in the order chosen") << QStringList{"b.vcf", "a.vcf"} << 1000
                                         << QStringList{"Okafor,", "Haddad,"} << QStringList{};
    QTest::newRow("stopped in the first: the second is not read")
        << QStringList{"b.vcf", "a.vcf"} << 0 << QStringList{} << QStringList{};
    QTest::newRow("an unreadable one is reported, the others imported")
        << QStringList{"a.vcf", "missing.vcf", "b.vcf"} << 1000 << QStringList{"Haddad,", "Okafor,"}
        << QStringList{"PushButton2_Click at line 102"};
}

void TestFlows::importSeveralFiles() {
    QFETCH(QStringList, files);
    QFETCH(int, progressAllowed);
    FakeWindow window;
    window.progressAllowed = progressAllowed;
    const QMap<QString, QByteArray> cards{{"a.vcf", card("Haddad")}, {"b.vcf", card("Okafor")}};
    QStringList paths;
    for (const QString& name : files) {
        paths << (cards.contains(name) ? window.writeFile(name, cards[name])
                                       : window.dir.filePath(name));
    }
    window.dialogs.fileListAnswers.enqueue(paths);
    window.importFlow().chooseFile();
    QStringList names;
    for (qsizetype row = 0; row < window.contacts.count(); ++row)
        names << window.contacts.at(row).Text;
    QTEST(names, "names");
    QTEST(window.reportedSteps(), "steps");
    QCOMPARE(window.progressesStarted, 1);
}

void TestFlows::fileDialogsOpenWhereTheLastFileWasChosen() {
    FakeWindow window;
    QDir(window.dir.path()).mkpath("cards");
    const QString chosen = window.writeFile("cards/a.vcf", card("Haddad"));
    const QString folder = QFileInfo(chosen).absolutePath();
    window.dialogs.fileAnswers.enqueue(chosen);
    window.importFlow().chooseFile();  // first start: no folder yet
    window.importFlow().chooseFile();  // cancelled: the folder stays
    window.options.oneFile = true;
    window.saveFlow().save();           // the one-file save opens there too
    window.photoFlow().chooseAndAdd();  // pictures keep a folder of their own
    QCOMPARE(window.dialogs.startFolders, QStringList({"", folder, folder, ""}));
    QCOMPARE(window.settings.ReadSetting("VcfFolder", ""), folder);
}

void TestFlows::dropFiles_data() {
    QTest::addColumn<bool>("onPhotosPage");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<int>("rows");
    QTest::newRow("on the list: every file is imported") << false << QStringList{} << 3;
    QTest::newRow("on Photos: card files imported, others added as pictures")
        << true << QStringList{"b.jpg"} << 2;
}

void TestFlows::dropFiles() {
    QFETCH(bool, onPhotosPage);
    FakeWindow window;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(window.writeFile("a.vcf", card("Haddad;Noor"))),
                  QUrl::fromLocalFile(window.writeFile("b.jpg", card("Okafor;Ada"))),
                  QUrl("https://example.org/c.vcf"),
                  QUrl::fromLocalFile(window.writeFile("D.VCF", card("Lund;Eva")))});
    window.importFlow().dropFiles(localFilePaths(data), onPhotosPage);
    QTEST(window.pictures, "pictures");
    QTEST(int(window.contacts.count()), "rows");
}

void TestFlows::save_data() {
    QTest::addColumn<bool>("oneFile");  // else each contact to a file of its own
    QTest::addColumn<bool>("ansi");     // else UTF-8
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("answer");  // to the question about characters ANSI lacks
    QTest::addColumn<int>("progressAllowed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QByteArray>("written");  // the saved file's first bytes; empty: none
    QTest::addColumn<QStringList>("messages");
    const QStringList done{"Pennacle|Done."};
    const QByteArray utf8 =
        "\xef\xbb\xbf"
        "BEGIN";
    const QByteArray ansi = "BEGIN";
    QTest::newRow("UTF-8: nothing asked")
        << true << false << QByteArray("N:Łódź") << "" << 1000 << false << utf8 << done;
    QTest::newRow("ANSI, nothing lost: nothing asked")
        << true << true << QByteArray("N:Haddad") << "" << 1000 << false << ansi << done;
    QTest::newRow("ANSI would lose, Yes: UTF-8")
        << true << true << QByteArray("N:Łódź") << "Yes" << 1000 << true << utf8 << done;
    QTest::newRow("ANSI would lose, No: ANSI anyway")
        << true << true << QByteArray("N:Łódź") << "No" << 1000 << true << ansi << done;
    QTest::newRow("ANSI would lose, Cancel: nothing saved or said")
        << true << true << QByteArray("N:Łódź") << "Cancel" << 1000 << true << QByteArray()
        << QStringList{};
    QTest::newRow("each contact into the chosen folder")
        << false << false << QByteArray("N:Haddad") << "" << 1000 << false << utf8 << done;
    QTest::newRow("stopped by the user: no file, and not done")
        << true << false << QByteArray("N:Haddad") << "" << 0 << false << QByteArray()
        << QStringList{"Pennacle|Save cancelled."};
}

void TestFlows::save() {
    QFETCH(bool, oneFile);
    QFETCH(bool, ansi);
    QFETCH(QByteArray, name);
    QFETCH(QString, answer);
    QFETCH(int, progressAllowed);
    QFETCH(QByteArray, written);
    FakeWindow window;
    window.contacts.append(
        {QStringLiteral("Someone"), QString::fromUtf8("BEGIN:VCARD\r\n" + name + "\r\nEND:VCARD")});
    window.options = {oneFile, !oneFile, ansi, !ansi, std::nullopt};
    window.progressAllowed = progressAllowed;
    const QDir folder(window.dir.filePath("saved"));
    QVERIFY(folder.mkpath("."));
    window.dialogs.fileAnswers.enqueue(oneFile ? folder.filePath("all.vcf") : folder.path());
    if (!answer.isEmpty()) {
        window.dialogs.yesNoCancelAnswers.enqueue(answer == "Yes"  ? Dialogs::Answer::Yes
                                                  : answer == "No" ? Dialogs::Answer::No
                                                                   : Dialogs::Answer::Cancel);
    }
    window.saveFlow().save();
    QTEST(!window.dialogs.callsOf("yesnocancel").isEmpty(), "asked");
    const QStringList files = folder.entryList(QDir::Files);
    QCOMPARE(files.size(), written.isEmpty() ? 0 : 1);
    if (!written.isEmpty())
        QCOMPARE(readBytes(folder.filePath(files[0])).left(written.size()), written);
    QTEST(window.dialogs.callsOf("message"), "messages");
    QVERIFY(window.reporter.reports.isEmpty());
}

void TestFlows::photoCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("chosen");      // "picture", "text" or "" for none
    QTest::addColumn<QStringList>("labels");  // "*": a picture from the chosen file
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<int>("rebuilds");
    QTest::addColumn<QStringList>("steps");
    const QStringList two{"Photo1", "Photo2"};
    const QStringList none;
    QTest::newRow("add: selected and shown")
        << "add" << 0 << "picture" << QStringList{"Photo1", "Photo2", "Photo3*"} << 2 << "shown"
        << 1 << none;
    QTest::newRow("add no picture: reported, no row")
        << "add" << 0 << "text" << two << 0 << "untouched" << 0
        << QStringList{"PushButton12_Click at line 102"};
    QTest::newRow("add, nothing chosen")
        << "add" << 0 << "" << two << 0 << "untouched" << 0 << none;
    QTest::newRow("replace: shown")
        << "replace" << 1 << "picture" << QStringList{"Photo1", "Photo2*"} << 1 << "shown" << 1
        << none;
    QTest::newRow("replace with no picture: the row keeps its own")
        << "replace" << 1 << "text" << two << 1 << "untouched" << 0
        << QStringList{"PushButton10_Click at line 104"};
    QTest::newRow("replace, none selected: nothing asked")
        << "replace" << -1 << "picture" << two << -1 << "untouched" << 0 << none;
    QTest::newRow("delete: no other row takes its place")
        << "delete" << 0 << "" << QStringList{"Photo2"} << -1 << "cleared" << 1 << none;
    QTest::newRow("delete, none selected")
        << "delete" << -1 << "" << two << -1 << "untouched" << 0 << none;
}

void TestFlows::photoCommands() {
    QFETCH(QString, command);
    QFETCH(int, selected);
    QFETCH(QString, chosen);
    FakeWindow window;
    window.photos.setRows({addedPhotoRow(0, "AAAA"), addedPhotoRow(1, "AAAA")});
    window.selectedPhoto = selected;
    if (!chosen.isEmpty()) {
        window.dialogs.fileAnswers.enqueue(window.writeFile(
            "chosen.jpg", chosen == "picture" ? jpegBytes() : QByteArray("not a picture")));
    }
    PhotoFlow flow = window.photoFlow();
    if (command == "add")
        flow.chooseAndAdd();
    else if (command == "replace")
        flow.replace();
    else
        flow.remove();
    QStringList labels;
    for (const PhotoEntry& row : window.photos.rows())
        labels << row.PhotoLabel + (row.PhotoData == "AAAA" ? "" : "*");
    QTEST(labels, "labels");
    QTEST(window.selectedPhoto, "selectedAfter");
    QTEST(window.preview, "preview");
    QTEST(window.rebuilds, "rebuilds");
    QTEST(window.reportedSteps(), "steps");
    QVERIFY(!window.loudSelection);
}

QTEST_GUILESS_MAIN(TestFlows)
#include "gui_flows.moc"
