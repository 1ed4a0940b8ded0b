// The first-start recording of the sample files and "Load Sample/Example Files", over a
// temporary program folder with its own Samples/.

#include "cards/samplefiles.h"
#include "support/windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace pennacle;

namespace {

QByteArray card(const char* n) {
    return QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN:") + n + "\r\nEND:VCARD\r\n";
}

// A change to the samples folder: "name|bytes" writes a file, "-name" removes it and
// "name/" puts a folder in its place.
void applyChange(const QDir& samples, const QString& change) {
    if (change.startsWith(u'-')) {
        QVERIFY(QFile::remove(samples.filePath(change.mid(1))));
    } else if (change.endsWith(u'/')) {
        QFile::remove(samples.filePath(change.chopped(1)));
        QVERIFY(samples.mkpath(change.chopped(1)));
    } else {
        const qsizetype bar = change.indexOf(u'|');
        writeBytes(samples.filePath(change.left(bar)), change.mid(bar + 1).toLatin1());
    }
}

void applyChanges(WindowFixture& f, const QStringList& changes) {
    const QDir samples(f.appFolder() + "/Samples");
    QVERIFY(samples.mkpath("."));
    for (const QString& change : changes)
        applyChange(samples, change);
}

QString recorded(WindowFixture& f) {
    return recordedSampleFiles(*f.settings).join(u'|');
}

}  // namespace

class TestSamples : public QObject {
    Q_OBJECT
private slots:
    void firstStartRecordsOnce_data();
    void firstStartRecordsOnce();
    void loadCommand_data();
    void loadCommand();
};

void TestSamples::firstStartRecordsOnce_data() {
    QTest::addColumn<QString>("appFolderName");
    QTest::addColumn<QStringList>("atFirstStart");  // changes to the samples folder
    QTest::addColumn<QStringList>("beforeNextStart");
    QTest::addColumn<QString>("afterFirst");  // "DIR" is the program folder
    QTest::addColumn<QString>("afterNext");
    QTest::newRow("two files, recorded once")
        << "app" << QStringList{"b.vcf|x", "a.vcf|y"} << QStringList{"c.vcf|z", "-a.vcf"}
        << "DIR/Samples/a.vcf|DIR/Samples/b.vcf"
        << "DIR/Samples/a.vcf|DIR/Samples/b.vcf";
    QTest::newRow("empty folder: recorded at the next start")
        << "app" << QStringList{} << QStringList{"a.vcf|x"} << ""
        << "DIR/Samples/a.vcf";
    QTest::newRow("program folder named outside Windows-1252")
        << "Программы 日本 😀" << QStringList{"Łódź.vcf|x"} << QStringList{}
        << "DIR/Samples/Łódź.vcf"
        << "DIR/Samples/Łódź.vcf";
}

void TestSamples::firstStartRecordsOnce() {
    QFETCH(QString, appFolderName);
    QFETCH(QStringList, atFirstStart);
    QFETCH(QStringList, beforeNextStart);
    QFETCH(QString, afterFirst);
    QFETCH(QString, afterNext);
    WindowFixture f;
    f.appFolderName = appFolderName;
    applyChanges(f, atFirstStart);
    f.open();
    QCOMPARE(recorded(f), QString(afterFirst).replace("DIR", f.appFolder()));
    // Stored scrambled: the paths cannot be read in the settings file.
    if (!afterFirst.isEmpty())
        QVERIFY(!f.stored("Snapshot").contains("Samples"));
    applyChanges(f, beforeNextStart);
    f.open();
    QCOMPARE(recorded(f), QString(afterNext).replace("DIR", f.appFolder()));
    QVERIFY(f.dialogs.callsOf("warning").isEmpty());
}

void TestSamples::loadCommand_data() {
    QTest::addColumn<QByteArray>("listed");          // imported before the samples, or empty
    QTest::addColumn<QStringList>("atFirstStart");   // changes to the samples folder
    QTest::addColumn<QStringList>("beforeCommand");  // changes after the recording
    QTest::addColumn<int>("presses");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("names");  // the list afterwards
    QTest::addColumn<QString>("lastCard");   // card text of the last row
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("shownLastName");  // the form afterwards
    QTest::addColumn<QString>("report");         // start of the one report, or empty

    const QStringList two = {"b.vcf|" + card("Birch;Ben"), "a.vcf|" + card("Ash;Alma")};
    QTest::newRow("two files, No")
        << QByteArray() << two << QStringList{} << 1 << false
        << QStringList{"Ash, Alma", "Birch, Ben"} << QString(card("Birch;Ben")) << 1 << "Ash"
        << "";
    QTest::newRow("pressed twice, Yes: nothing added the second time")
        << QByteArray() << two << QStringList{} << 2 << true
        << QStringList{"Ash, Alma", "Birch, Ben"} << QString(card("Birch;Ben")) << 2 << "Ash"
        << "";
    QTest::newRow("a listed name is skipped, one differing in case is added")
        << card("Birch;Ben")
        << QStringList{"a.vcf|" + card("Birch;Ben"), "b.vcf|" + card("BIRCH;Ben"),
                       "c.vcf|" + card("Birch;Ben")}
        << QStringList{} << 1 << false << QStringList{"Birch, Ben", "BIRCH, Ben"}
        << QString(card("BIRCH;Ben")) << 1 << "Birch"
        << "";
    QTest::newRow("zero-length file") << QByteArray() << QStringList{"e.vcf|"} << QStringList{} << 1
                                      << false << QStringList{""} << "empty file" << 1 << ""
                                      << "";
    QTest::newRow("whole file text, several cards, Windows-1252 bytes")
        << QByteArray()
        << QStringList{"m.vcf|" +
                       QString::fromLatin1(card("M\xFC\x80;Ann") + "\r\n" + card("Other;Otto"))}
        << QStringList{} << 1 << false << QStringList{"Other, Otto"}
        << QString("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Mü€;Ann\r\nEND:VCARD\r\n\r\n" +
                   card("Other;Otto"))
        << 1 << "Other"
        << "";
    QTest::newRow("empty folder: nothing added, still asked")
        << QByteArray() << QStringList{} << QStringList{"a.vcf|" + card("Ash;Alma")} << 1 << false
        << QStringList{} << "" << 1 << ""
        << "";
    QTest::newRow("deleted files skipped, later files not loaded")
        << QByteArray() << two << QStringList{"-a.vcf", "c.vcf|" + card("Cedar;Cy")} << 1 << false
        << QStringList{"Birch, Ben"} << QString(card("Birch;Ben")) << 1 << "Birch"
        << "";
    QTest::newRow("unreadable file: loader stops, nothing asked, the form still shows")
        << QByteArray()
        << QStringList{"a.vcf|" + card("Ash;Alma"), "b.vcf|x", "c.vcf|" + card("Cedar;Cy")}
        << QStringList{"b.vcf/"} << 1 << false << QStringList{"Ash, Alma"}
        << QString(card("Ash;Alma")) << 0 << "Ash"
        << "\r\nin Pennacle2021/08/31.Form1.PushButton7_Click at line 100\r\r";
}

void TestSamples::loadCommand() {
    QFETCH(QByteArray, listed);
    QFETCH(QStringList, atFirstStart);
    QFETCH(QStringList, beforeCommand);
    QFETCH(int, presses);
    QFETCH(bool, yes);
    QFETCH(QStringList, names);
    QFETCH(QString, lastCard);
    QFETCH(int, questions);
    QFETCH(QString, shownLastName);
    QFETCH(QString, report);
    WindowFixture f;
    applyChanges(f, atFirstStart);
    Form1& form = f.open();
    if (!listed.isEmpty())
        f.import(QString::fromLatin1(listed));
    applyChanges(f, beforeCommand);
    for (int i = 0; i < presses; ++i) {
        f.dialogs.yesNoAnswers.enqueue(yes);
        QTest::mouseClick(f.find<QPushButton>("PushButton7"), Qt::LeftButton);
    }
    Q_UNUSED(form);

    QCOMPARE(f.names(), names);
    if (!names.isEmpty())
        QCOMPARE(f.card(int(names.size()) - 1), lastCard);
    const QString question = "Pennacle|" + openSamplesQuestion();
    QCOMPARE(f.dialogs.callsOf("yesno"), QStringList(questions, question));
    const QString folder = f.appFolder() + "/Samples|";
    QCOMPARE(f.dialogs.callsOf("openFolder"), QStringList(yes ? questions : 0, folder));
    QCOMPARE(f.box(LastName)->text(), shownLastName);
    const QStringList reports = f.dialogs.callsOf("warning");
    if (report.isEmpty()) {
        QVERIFY2(reports.isEmpty(), qPrintable(reports.join('\n')));
    } else {
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].contains(report), qPrintable(reports[0]));
    }
}

QTEST_MAIN(TestSamples)
#include "gui_samples.moc"
