#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "support/clirun.h"
#include "support/files.h"
#include "support/savefailures.h"

Q_DECLARE_METATYPE(SaveFailure)

namespace {

// A UTF-8 file: an LF card with characters ANSI has and lacks, a CR LF card with "ë", and a second
// "Doe, John".
const QByteArray kLf = "BEGIN:VCARD\nN:Doe;John\nNOTE:\xE2\x82\xAC\xC5\x81\nEND:VCARD";
const QByteArray kZoe = "BEGIN:VCARD\r\nN:Zo\xC3\xAB;A\r\nEND:VCARD";
const QByteArray kDoe2 = "BEGIN:VCARD\r\nN:Doe;John\r\nORG:b\r\nEND:VCARD";

const QByteArray kBuiltCard =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Smith;John;;\r\nFN:John  Smith\r\n"
    "TEL;CELL;PREF:555:01;99\r\nEMAIL;INTERNET;PREF:a@x.example\r\nEMAIL;WORK:b@x.example\r\n"
    "NOTE;QUOTED-PRINTABLE:a=0D=0Ab\r\nBDAY:19800305\r\n"
    "PHOTO;JPEG;BASE64:QUJD\r\n\r\nREV:20240203T210507\r\nEND:VCARD";

QByteArray builtForm() {
    QByteArray texts;
    for (int i = 0; i < 25; ++i) {
        const char* text = i == 0    ? "Smith"
                           : i == 1  ? "John"
                           : i == 5  ? "b@x.example"
                           : i == 22 ? "555:01;99"
                           : i == 24 ? "a\\r\\nb"
                                     : "";
        texts += QByteArray(i ? ", \"" : "\"") + text + '"';
    }
    return "{\"txtTextbox\": [" + texts +
           "], \"Check1\": [false, false, false, false, true, false],"
           " \"Combo1\": [\"a@x.example\", \"b@x.example\"], \"Combo2\": [\"INTERNET\", "
           "\"WORK\"], \"dtpBirthday\": \"1980-03-05\", \"photos\": [{\"PhotoLabel\": \"JPEG "
           "1\", \"PhotoType\": \"PHOTO;JPEG;BASE64:\", \"PhotoData\": \"QUJD\"}]}";
}

}  // namespace

class TestCliWrite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void buildPrintsTheCard_data();
    void buildPrintsTheCard();
    void buildWithoutNowUsesTheClock();
    void formThenBuildSettles();
    void saveOneFile_data();
    void saveOneFile();
    void saveEachContact();
    void saveMergesAndKeepsCardsExact();
    void saveEmptyList();
    void saveFailureIsReported();
    void saveFailuresAreReportedAndTheLoopGoesOn_data();
    void saveFailuresAreReportedAndTheLoopGoesOn();
    void usage_data();
    void usage();

private:
    QTemporaryDir dir_;
    QString three_;
    QString formFile_;
};

void TestCliWrite::initTestCase() {
    QVERIFY2(QFile::exists(QStringLiteral(PENNACLE_CLI)), "build pennacle-cli first");
    three_ = dir_.filePath("three.vcf");
    writeBytes(three_, "\xEF\xBB\xBF" + kLf + "\n" + kZoe + "\r\n" + kDoe2 + "\r\n");
    formFile_ = dir_.filePath("form.json");
    writeBytes(formFile_, builtForm());
    writeBytes(dir_.filePath("name-as-photo.json"),
               R"({"photos": [{"PhotoType": "N;PHOTO:", "PhotoData": "QUJD"}]})");
}

void TestCliWrite::buildPrintsTheCard_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("card");
    QTest::newRow("form file") << QStringList{"build", formFile_, "--now", "2024-02-03T21:05:07"}
                               << QByteArray() << kBuiltCard;
    QTest::newRow("standard input, --now= before")
        << QStringList{"build", "--now=2024-02-03T21:05:07", "-"} << builtForm() << kBuiltCard;
    QTest::newRow("missing keys mean an empty form")
        << QStringList{"build", "-", "--now", "1999-12-31T00:00:00"} << QByteArray("{}")
        << QByteArray(
               "BEGIN:VCARD\r\nVERSION:2.1\r\nN:;;;\r\nFN:  \r\n\r\n"
               "REV:19991231T000000\r\nEND:VCARD");
}

void TestCliWrite::buildPrintsTheCard() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, card);
    const CliRun run = runCli(args, input);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, card);
}

void TestCliWrite::buildWithoutNowUsesTheClock() {
    const QDate before = QDate::currentDate();
    const CliRun run = runCli({"build", "-"}, "{}");
    QCOMPARE(run.status, 0);
    const QRegularExpressionMatch rev =
        QRegularExpression("\r\nREV:(\\d{8})T\\d{6}\r\nEND:VCARD$").match(QString(run.out));
    QVERIFY(rev.hasMatch());
    const QDate stamped = QDate::fromString(rev.captured(1), "yyyyMMdd");
    QVERIFY(stamped >= before && stamped <= QDate::currentDate());
}

// form and build used as a pair: the second build gives the same card as the first.
void TestCliWrite::formThenBuildSettles() {
    const QString built = dir_.filePath("built.vcf");
    writeBytes(built, runCli({"build", formFile_, "--now", "2024-02-03T21:05:07"}).out);
    const CliRun form = runCli({"form", built});
    QCOMPARE(form.status, 0);
    const CliRun again = runCli({"build", "-", "--now", "2024-02-03T21:05:07"}, form.out);
    QCOMPARE(again.status, 0);
    QCOMPARE(again.out, kBuiltCard);
}

void TestCliWrite::saveOneFile_data() {
    QTest::addColumn<QByteArray>("cards");  // the file saved; empty: three.vcf
    QTest::addColumn<QStringList>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("status");
    const QByteArray loss =
        "pennacle-cli: 1 contact(s) hold characters that ANSI cannot hold, "
        "written as \"?\" (the first: Doe, John); --utf8 keeps them\n";
    const QByteArray ansi =
        "BEGIN:VCARD\nN:Doe;John\nNOTE:\x80?\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nN:Zo\xEB;A\r\nEND:VCARD\r\n" +
        kDoe2 + "\r\n";
    QTest::newRow("default ANSI") << QByteArray() << QStringList{} << ansi << loss << 1;
    QTest::newRow("--ansi") << QByteArray() << QStringList{"--ansi"} << ansi << loss << 1;
    QTest::newRow("--utf8") << QByteArray() << QStringList{"--utf8"}
                            << "\xEF\xBB\xBF" + kLf + "\r\n" + kZoe + "\r\n" + kDoe2 + "\r\n"
                            << QByteArray() << 0;
    QTest::newRow("ANSI, nothing lost")
        << kZoe << QStringList{} << QByteArray("BEGIN:VCARD\r\nN:Zo\xEB;A\r\nEND:VCARD\r\n")
        << QByteArray() << 0;
}

void TestCliWrite::saveOneFile() {
    QFETCH(QStringList, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, err);
    QFETCH(int, status);
    QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString target = dir_.filePath("one" + tag.remove(QRegularExpression("\\W")));
    QFETCH(QByteArray, cards);
    QString source = three_;
    if (!cards.isEmpty()) {
        source = dir_.filePath("cards.vcf");
        writeBytes(source, cards);
    }
    const CliRun run = runCli(QStringList{"save", source, "--one", target} + encoding);
    QCOMPARE(run.err, err);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, QByteArray("Done.\n"));
    QCOMPARE(readBytes(target), bytes);
}

void TestCliWrite::saveEachContact() {
    QTemporaryDir out;
    const QString folder = out.filePath("made/below");
    const CliRun run = runCli({"save", "--utf8", three_, "--each", folder});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("Done.\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({"Doe, John (2).vcf", "Doe, John.vcf", QString::fromUtf8("Zoë, A.vcf")}));
    QCOMPARE(readBytes(folder + "/Doe, John.vcf"), "\xEF\xBB\xBF" + kLf + "\r\n");
    QCOMPARE(readBytes(folder + "/Doe, John (2).vcf"), "\xEF\xBB\xBF" + kDoe2 + "\r\n");
}

// Merging files and splitting them again keeps every unedited card byte for byte.
void TestCliWrite::saveMergesAndKeepsCardsExact() {
    QTemporaryDir out;
    const QString merged = out.filePath("merged.vcf");
    QCOMPARE(
        runCli({"save", three_, dataFile("utf8-with-mark.vcf"), "--one", merged, "--utf8"}).status,
        0);
    const CliRun names = runCli({"names", merged});
    const CliRun original = runCli({"names", three_, dataFile("utf8-with-mark.vcf")});
    QCOMPARE(names.out, original.out);
    for (int index = 1; index <= 4; ++index) {
        const QString n = QString::number(index);
        QCOMPARE(runCli({"card", merged, "--index", n}).out,
                 runCli({"card", three_, dataFile("utf8-with-mark.vcf"), "--index", n}).out);
    }
}

void TestCliWrite::saveEmptyList() {
    QTemporaryDir out;
    const CliRun run = runCli({"save", dataFile("empty.vcf"), "--one", out.filePath("x.vcf")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, "No contacts were found in \"" + dataFile("empty.vcf").toUtf8() +
                          "\".\nNo contacts to save.\n");
    QCOMPARE(QDir(out.path()).count(), 2u);
}

void TestCliWrite::saveFailureIsReported() {
    QTemporaryDir out;
    writeBytes(out.filePath("file"), "not a folder");
    const CliRun run = runCli({"save", three_, "--each", out.filePath("file")});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("Done.\n"));
    QCOMPARE(run.err.count("in Pennacle2021/08/31.Form1.PushButton1_Click at line 118\n"), 3);
    QCOMPARE(run.err.count("\n----\n"), 2);
    QCOMPARE(readBytes(out.filePath("file")), QByteArray("not a folder"));
}

void TestCliWrite::saveFailuresAreReportedAndTheLoopGoesOn_data() {
    QTest::addColumn<SaveFailure>("failure");
    QTest::addColumn<QByteArray>("firstCard");
    QTest::addColumn<int>("reports");
    QTest::addColumn<bool>("smallWritten");
    QTest::newRow("full disk") << SaveFailure::FullDisk
                               << "BEGIN:VCARD\r\nN:;Big\r\nNOTE:" + QByteArray(200000, 'b') +
                                      "\r\nEND:VCARD"
                               << 1 << true;
    QTest::newRow("folder without write permission")
        << SaveFailure::ReadOnlyFolder << QByteArray("BEGIN:VCARD\r\nN:;Big\r\nEND:VCARD") << 2
        << false;
    QTest::newRow("a name the file system rejects")
        << SaveFailure::NameTooLong
        << "BEGIN:VCARD\r\nN:;" + kRejectedName.toLatin1() + "\r\nEND:VCARD" << 1 << true;
}

// Each failing file is reported, the others are written, and a file that was there stays.
void TestCliWrite::saveFailuresAreReportedAndTheLoopGoesOn() {
    QFETCH(SaveFailure, failure);
    QFETCH(QByteArray, firstCard);
    QFETCH(int, reports);
    QFETCH(bool, smallWritten);
    if (failure == SaveFailure::ReadOnlyFolder && !ordinaryUserAvailable())
        QSKIP("an ordinary user is needed for this and cannot be switched to");
    QTemporaryDir dir;
    QVERIFY(openToOthers(dir.path()));
    const QByteArray small = "BEGIN:VCARD\r\nN:;Small\r\nEND:VCARD";
    const QString cards = dir.filePath("cards.vcf");
    writeBytes(cards, firstCard + "\r\n" + small + "\r\n");
    const QString folder = dir.filePath("out");
    QVERIFY(QDir().mkpath(folder));
    writeBytes(folder + "/Big.vcf", "earlier");
    CliRun run;
    {
        std::optional<ReadOnlyFolder> readOnly;
        if (failure == SaveFailure::ReadOnlyFolder)
            readOnly.emplace(folder);
        run = runCli({"save", cards, "--each", folder}, {},
                     [&](QProcess& process) { prepareChildSaveFailure(process, failure); });
    }
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("Done.\n"));
    QCOMPARE(run.err.count(failingSaveStep(failure).toUtf8() + "\n"), reports);
    QMap<QString, QByteArray> expected{{"Big.vcf", "earlier"}};
    if (smallWritten)
        expected["Small.vcf"] = small + "\r\n";
    QCOMPARE(filesIn(folder), expected);
}

void TestCliWrite::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("build without a form") << QStringList{"build"};
    QTest::newRow("build with two forms") << QStringList{"build", formFile_, formFile_};
    QTest::newRow("build with a missing form") << QStringList{"build", dir_.filePath("none")};
    QTest::newRow("build with a bad time")
        << QStringList{"build", formFile_, "--now", "2024-02-30T00:00:00"};
    QTest::newRow("build with a time zone")
        << QStringList{"build", formFile_, "--now", "2024-02-03T21:05:07Z"};
    QTest::newRow("build with a form that is not JSON") << QStringList{"build", three_};
    QTest::newRow("build with a photo type that reads back as a name")
        << QStringList{"build", dir_.filePath("name-as-photo.json")};
    QTest::newRow("save without a target") << QStringList{"save", three_};
    QTest::newRow("save with both targets")
        << QStringList{"save", three_, "--one", "a", "--each", "b"};
    QTest::newRow("save with both encodings")
        << QStringList{"save", three_, "--one", "a", "--ansi", "--utf8"};
    QTest::newRow("save without files") << QStringList{"save", "--one", "a"};
    QTest::newRow("save with a missing file")
        << QStringList{"save", dir_.filePath("none.vcf"), "--one", "a"};
    QTest::newRow("save with an unknown option")
        << QStringList{"save", three_, "--one", "a", "--utf16"};
}

void TestCliWrite::usage() {
    QFETCH(QStringList, args);
    const QString cwd = QDir::currentPath();
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    const CliRun run = runCli(args);
    QDir::setCurrent(cwd);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(run.err.startsWith("pennacle-cli: "));
    QCOMPARE(QDir(scratch.path()).count(), 2u);  // nothing written
}

QTEST_GUILESS_MAIN(TestCliWrite)
#include "tst_cli_write.moc"
