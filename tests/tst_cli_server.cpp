// pennacle-cli pull and push against a real server (Radicale on 127.0.0.1).
#include "carddav/addressbook.h"
#include "carddav/pullrecord.h"
#include "cards/cardidentity.h"
#include "cards/importer.h"
#include "support/clirun.h"
#include "support/collectingreporter.h"
#include "support/radicaleserver.h"

#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class TestCliServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void pullWritesCardsAndRecord();
    void pushUploadsOnlyChangesAndReportsConflicts();
    void refusals_data();
    void refusals();

private:
    QStringList account() const {
        return {QStringLiteral("--user"), server_.user(), QStringLiteral("--password-file"),
                dir_.filePath(QStringLiteral("password"))};
    }
    QString url() const { return server_.bookUrl(QStringLiteral("contacts")).toString(); }

    RadicaleServer server_;
    QTemporaryDir dir_;
};

void TestCliServer::initTestCase() {
    // A line end after the password is no part of it.
    writeAll(dir_.filePath(QStringLiteral("password")), server_.password().toUtf8() + "\r\n");
    std::vector<QByteArray> cards;
    for (int i = 0; i < 4; ++i)
        cards.push_back(personCard(i, "uid-" + QByteArray::number(i)));
    cards.push_back(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u\xc3\xa9\r\nFN:Ren\xc3\xa9\r\nN:Ren\xc3\xa9;;;;\r\nEND:"
        "VCARD\r\n");
    server_.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), cards);
    QVERIFY(server_.start());
}

void TestCliServer::pullWritesCardsAndRecord() {
    const QString out = dir_.filePath(QStringLiteral("pulled.vcf"));
    const CliRun run = runCli(
        QStringList{QStringLiteral("pull"), url(), QStringLiteral("--out"), out} + account());
    QCOMPARE(run.status, 0);
    const QByteArray bytes = readAll(out);
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
    QVERIFY(bytes.contains("FN:Ren\xc3\xa9"));

    const PullRecord record = pullRecordFromJson(readAll(out + QStringLiteral(".carddav")));
    QCOMPARE(record.cards.size(), size_t(5));
    std::vector<ContactEntry> imported;
    CollectingReporter reporter;
    importCardFile(out, imported, reporter);
    QCOMPARE(imported.size(), size_t(5));
    for (size_t i = 0; i < imported.size(); ++i) {
        const PulledCard& card = record.cards[i];
        QCOMPARE(card.uid, uidOf(imported.at(i).card));
        QCOMPARE(card.hash, cardHash(imported.at(i).card));
        QVERIFY(card.href.startsWith(QStringLiteral("/alice/contacts/")));
        QVERIFY(card.etag.startsWith('"'));
    }
}

void TestCliServer::pushUploadsOnlyChangesAndReportsConflicts() {
    const QString file = dir_.filePath(QStringLiteral("mine.vcf"));
    QCOMPARE(runCli(QStringList{QStringLiteral("pull"), url(), QStringLiteral("--out"), file} +
                    account())
                 .status,
             0);
    // Someone else changes uid-3 on the server after the pull.
    DavClient other(server_.user(), server_.password());
    const QUrl book = server_.bookUrl(QStringLiteral("contacts"));
    const std::optional<ServerCard> theirs =
        fetchCard(other, book, QStringLiteral("/alice/contacts/c3.vcf"));
    QVERIFY(theirs);
    Upload change{
        Upload::Kind::Update, -1, theirs->href, theirs->etag,
        CardBytes(QByteArray(theirs->data).replace("Person 3", "Theirs"), CardEncoding::Utf8)};
    QCOMPARE(sendUpload(other, book, change).outcome, UploadResult::Outcome::Done);

    // Mine: uid-1 and uid-3 edited, uid-2 gone, two new cards (with and without a UID).
    QByteArray bytes = readAll(file);
    bytes.replace("FN:Person 1", "FN:Person One").replace("FN:Person 3", "FN:Mine");
    const qsizetype start = bytes.indexOf("BEGIN:VCARD\nVERSION:3.0\nUID:uid-2");
    QVERIFY(start >= 0);
    bytes.remove(start, bytes.indexOf("END:VCARD\n", start) + 10 - start);
    bytes += personCard(7, "uid-7");
    bytes += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:No Uid\r\nN:Uid;No;;;\r\nEND:VCARD\r\n";
    writeAll(file, bytes);

    const QStringList push = QStringList{QStringLiteral("push"), file, url()} + account();
    CliRun run = runCli(push);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("conflict"), run.err.constData());
    QCOMPARE(run.out.count("updated"), 1);
    QCOMPARE(run.out.count("created"), 2);
    QVERIFY(!run.out.contains("deleted"));
    QVERIFY(server_.storedCard(QStringLiteral("contacts"), QStringLiteral("c3.vcf"))
                .contains("Theirs"));
    QVERIFY(server_.storedCard(QStringLiteral("contacts"), QStringLiteral("c1.vcf"))
                .contains("Person One"));
    QVERIFY(!server_.storedCard(QStringLiteral("contacts"), QStringLiteral("c2.vcf")).isEmpty());
    QVERIFY(!server_.storedCard(QStringLiteral("contacts"), QStringLiteral("uid-7.vcf")).isEmpty());

    // Again, with --delete: only the delete goes up; the conflict stays one.
    run = runCli(push + QStringList{QStringLiteral("--delete")});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("deleted /alice/contacts/c2.vcf\n"));
    QVERIFY(server_.storedCard(QStringLiteral("contacts"), QStringLiteral("c2.vcf")).isEmpty());
    QVERIFY(server_.storedCard(QStringLiteral("contacts"), QStringLiteral("c3.vcf"))
                .contains("Theirs"));

    // Without the conflicting edit everything has gone up: nothing to do, exit 0.
    writeAll(file, readAll(file).replace("FN:Mine", "FN:Person 3"));
    run = runCli(push + QStringList{QStringLiteral("--delete")});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.isEmpty());
}

void TestCliServer::refusals_data() {
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::newRow("wrong password") << QStringList() << "wrong" << 1;
    QTest::newRow("no --user") << QStringList{QStringLiteral("drop-user")} << "secret" << 2;
    QTest::newRow("not http") << QStringList{QStringLiteral("ftp")} << "secret" << 2;
}

void TestCliServer::refusals() {
    QFETCH(QStringList, extra);
    QFETCH(QString, password);
    QFETCH(int, status);
    const QString passwordFile = dir_.filePath(QStringLiteral("other-password"));
    writeAll(passwordFile, password.toUtf8() + "\n");
    QStringList args{QStringLiteral("pull"),
                     extra.contains(u"ftp") ? QStringLiteral("ftp://127.0.0.1/x/") : url(),
                     QStringLiteral("--out"),
                     dir_.filePath(QStringLiteral("refused.vcf")),
                     QStringLiteral("--password-file"),
                     passwordFile};
    if (!extra.contains(u"drop-user"))
        args << QStringLiteral("--user") << server_.user();
    const CliRun run = runCli(args);
    QCOMPARE(run.status, status);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("refused.vcf"))));
}

QTEST_GUILESS_MAIN(TestCliServer)
#include "tst_cli_server.moc"
