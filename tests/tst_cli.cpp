#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/clirun.h"

namespace {

const QByteArray kDoe =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John;Q;;\r\nORG:Acme\r\n"
    "EMAIL;INTERNET:john@doe.example\r\nBDAY:19800229\r\nEND:VCARD";
const QByteArray kRoe = "begin:vcard\nN:Roe;Jane\nEND:VCARD";

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void names();
    void printsExactly_data();
    void printsExactly();
    void formAsJson();
    void usage_data();
    void usage();

private:
    QTemporaryDir dir_;
    QString twoCards_;
};

void TestCli::initTestCase() {
    QVERIFY2(QFile::exists(QStringLiteral(PENNACLE_CLI)), "build pennacle-cli first");
    twoCards_ = dir_.filePath("two.vcf");
    QFile file(twoCards_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("prologue\r\n" + kDoe + "\r\n\r\n" + kRoe + "\n");
}

void TestCli::names() {
    const CliRun run = runCli({"names", twoCards_, dataFile("utf16le-with-mark.vcf"), twoCards_});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("Doe, John Q\nRoe, Jane\nM\xC3\xBCller, J\xC3\xB6rg\n"
                                 "Doe, John Q\nRoe, Jane\n"));
    QCOMPARE(run.err, QByteArray());
}

void TestCli::printsExactly_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("default first") << QStringList{"card", twoCards_} << kDoe;
    QTest::newRow("index") << QStringList{"card", twoCards_, "--index", "2"} << kRoe;
    QTest::newRow("index before files") << QStringList{"card", "--index=2", twoCards_} << kRoe;
    QTest::newRow("index signed, in blanks")
        << QStringList{"card", twoCards_, "--index", " +2 "} << kRoe;
    QTest::newRow("across files")
        << QStringList{"card", dataFile("ansi-windows-1252.vcf"), twoCards_, "--index", "1"}
        << QByteArray(
               "BEGIN:VCARD\r\nVERSION:2.1\r\nN:M\xC3\xBCller;J\xC3\xB6rg;;;\r\n"
               "NOTE:5 \xE2\x82\xAC caf\xC3\xA9\r\nEND:VCARD");

    // find prints list positions, counted on from file to file as the window's list does.
    const QString phone = dataFile("loader-outlook-style-card.vcf");
    QTest::newRow("find without accents")
        << QStringList{"find", "muller", twoCards_, dataFile("utf16le-with-mark.vcf")}
        << QByteArray("3\n");
    QTest::newRow("find phone digits")
        << QStringList{"find", "5550100", twoCards_, phone, phone} << QByteArray("3\n4\n");
    QTest::newRow("find in several files")
        << QStringList{"find", "DOE", twoCards_, twoCards_} << QByteArray("1\n3\n");
    QTest::newRow("find no match") << QStringList{"find", "nobody", twoCards_} << QByteArray();
    QTest::newRow("find empty text") << QStringList{"find", "", twoCards_} << QByteArray("1\n2\n");
    QTest::newRow("find text after --")
        << QStringList{"find", "--", "--x", twoCards_} << QByteArray();
    QTest::newRow("duplicates across files")
        << QStringList{"duplicates", twoCards_, "--region", "us", twoCards_}
        << QByteArray("1 3\tsame card, same e-mail, same name\n2 4\tsame card, same name\n");
}

void TestCli::printsExactly() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    const CliRun run = runCli(args);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, out);
}

void TestCli::formAsJson() {
    const CliRun run = runCli({"form", twoCards_});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.endsWith("}\n"));
    QVERIFY(!run.out.contains('\r'));

    // The keys come in the form's order.
    const QList<QByteArray> keys = {"txtTextbox",  "Check1",      "Combo1", "Combo2",
                                    "Combo1Index", "dtpBirthday", "photos", "photoIndex"};
    qsizetype last = -1;
    for (const QByteArray& key : keys) {
        const qsizetype at = run.out.indexOf("\"" + key + "\":");
        QVERIFY2(at > last, key.constData());
        last = at;
    }

    QJsonParseError error;
    const QJsonObject form = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(form.value("txtTextbox").toArray().size(), 25);
    QCOMPARE(form.value("txtTextbox").toArray().at(0).toString(), QStringLiteral("Doe"));
    QCOMPARE(form.value("txtTextbox").toArray().at(3).toString(), QStringLiteral("Acme"));
    QCOMPARE(form.value("Check1").toArray().size(), 6);
    QCOMPARE(form.value("Combo1").toArray(), QJsonArray{"john@doe.example"});
    QCOMPARE(form.value("Combo1Index").toInt(), 0);
    QCOMPARE(form.value("dtpBirthday").toString(), QStringLiteral("1980-02-29"));
    QCOMPARE(form.value("photos").toArray(), QJsonArray());
    QCOMPARE(form.value("photoIndex").toInt(-1), 0);
}

void TestCli::usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");

    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("Usage: pennacle-cli");
    QTest::newRow("command help") << QStringList{"names", "--help"} << 0
                                  << QByteArray("Usage: pennacle-cli");
    QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("pennacle-cli 1.");
    QTest::newRow("nothing") << QStringList() << 2 << QByteArray();
    QTest::newRow("unknown command") << QStringList{"frobnicate", "TWO"} << 2 << QByteArray();
    QTest::newRow("no files") << QStringList{"names"} << 2 << QByteArray();
    QTest::newRow("missing file") << QStringList{"names", "TWO", "/no/such.vcf"} << 2
                                  << QByteArray();
    QTest::newRow("unknown option") << QStringList{"names", "TWO", "--fast"} << 2 << QByteArray();
    QTest::newRow("index zero") << QStringList{"card", "TWO", "--index", "0"} << 2 << QByteArray();
    QTest::newRow("region not a country code")
        << QStringList{"duplicates", "TWO", "--region", "DEU"} << 2 << QByteArray();
    QTest::newRow("index past the list")
        << QStringList{"form", "TWO", "--index", "3"} << 2 << QByteArray();
    QTest::newRow("index lowest integer")
        << QStringList{"card", "TWO", "--index", "-9223372036854775808"} << 2 << QByteArray();
    QTest::newRow("index lowest integer on form")
        << QStringList{"form", "TWO", "--index=-9223372036854775808"} << 2 << QByteArray();
    QTest::newRow("index highest integer")
        << QStringList{"card", "TWO", "--index", "9223372036854775807"} << 2 << QByteArray();
    QTest::newRow("index past any integer")
        << QStringList{"form", "TWO", "--index", "99999999999999999999"} << 2 << QByteArray();
    QTest::newRow("index not a number")
        << QStringList{"card", "TWO", "--index", "two"} << 2 << QByteArray();
    QTest::newRow("index without value")
        << QStringList{"card", "TWO", "--index"} << 2 << QByteArray();
    QTest::newRow("index on names")
        << QStringList{"names", "TWO", "--index", "1"} << 2 << QByteArray();
    QTest::newRow("find without text") << QStringList{"find"} << 2 << QByteArray();
    QTest::newRow("find without files") << QStringList{"find", "doe"} << 2 << QByteArray();
    QTest::newRow("index on find")
        << QStringList{"find", "doe", "TWO", "--index", "1"} << 2 << QByteArray();
    QTest::newRow("card of an empty list")
        << QStringList{"card", dataFile("empty.vcf")} << 2 << QByteArray();
    QTest::newRow("names of an empty list")
        << QStringList{"names", dataFile("empty.vcf")} << 0 << QByteArray();
    QTest::newRow("file after --")
        << QStringList{"names", "--", "TWO"} << 0 << QByteArray("Doe, John Q\nRoe, Jane\n");
}

void TestCli::usage() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    args.replaceInStrings(QStringLiteral("TWO"), twoCards_);
    const CliRun run = runCli(args);
    QCOMPARE(run.status, status);
    QVERIFY2(run.out.startsWith(out), run.out.constData());
    if (status == 2) {
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(run.out, QByteArray());
    }
    // A file without contacts is named, whatever the command and its status.
    QCOMPARE(
        run.err.contains("No contacts were found in \"" + dataFile("empty.vcf").toUtf8() + "\"."),
        args.contains(dataFile("empty.vcf")));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
