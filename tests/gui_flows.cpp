// The window's flows without the window: each over a contact list, scripted dialogs, collected
// reports and a recording stand-in for the few things it asks of the window.
#include "app/importflow.h"
#include "support/collectingreporter.h"
#include "support/files.h"
#include "support/scripteddialogs.h"

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
    int progressAllowed = 1000;
    QStringList shown;  // cards shown in the form
    QStringList pictures;

    FlowContext context() { return {dialogs, reporter, appTitle}; }
    StartProgress startProgress() {
        return
            [this](const QString&) { return std::make_unique<ScriptedProgress>(progressAllowed); };
    }
    ImportFlow importFlow() {
        return ImportFlow(
            {context(), contacts, startProgress(), [] {},
             [this](const QString& card) { shown << card; },
             [this](const QString& path) { pictures << QFileInfo(path).fileName(); }});
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
    void dropFiles_data();
    void dropFiles();
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
    QCOMPARE(window.shown, rows > 0 ? QStringList{window.contacts.at(0).card} : QStringList{});
    QTEST(window.dialogs.callsOf("message"), "messages");
    QTEST(window.reportedSteps(), "steps");
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

QTEST_GUILESS_MAIN(TestFlows)
#include "gui_flows.moc"
