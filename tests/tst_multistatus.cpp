// The multistatus reader: what it takes from an answer, and what it refuses.
#include "carddav/multistatus.h"
#include "core/guard.h"

#include <QTest>

using namespace pennacle;

class TestMultistatus : public QObject {
    Q_OBJECT

private slots:
    void readsResponses();
    void refusesMalformed_data();
    void refusesMalformed();
    void statusLines_data();
    void statusLines();
};

void TestMultistatus::readsResponses() {
    // Prefixes of the servers' own choice, a default namespace, a property under 404, a
    // removed member, a card with a character reference for its CR and an escaped "&".
    const QByteArray xml =
        R"(<?xml version="1.0" encoding="utf-8"?>
<multistatus xmlns="DAV:" xmlns:card="urn:ietf:params:xml:ns:carddav" xmlns:x="urn:other">
 <response><href>/a/1.vcf</href>
  <propstat><prop><getetag>"e1"</getetag><card:address-data>BEGIN:VCARD&#13;
FN:A &amp; B&#13;
END:VCARD&#13;
</card:address-data><x:getetag>"wrong"</x:getetag></prop><status>HTTP/1.1 200 OK</status></propstat>
  <propstat><prop><displayname>hidden</displayname></prop><status>HTTP/1.1 404 Not Found</status></propstat>
 </response>
 <response><href>/a/2.vcf</href><status>HTTP/1.1 404 Not Found</status></response>
 <response><href>/a/</href><propstat><prop><resourcetype><collection/><card:addressbook/></resourcetype>
  <current-user-principal><href>/p/</href></current-user-principal>
  <card:addressbook-home-set><href>/h/</href></card:addressbook-home-set></prop></propstat></response>
 <sync-token>tok-1</sync-token>
</multistatus>)";
    const Multistatus answer = parseMultistatus(xml);
    QCOMPARE(answer.responses.size(), size_t(3));
    QCOMPARE(answer.syncToken, QStringLiteral("tok-1"));
    const DavResponse& card = answer.responses[0];
    QCOMPARE(card.etag, QByteArray("\"e1\""));
    QCOMPARE(card.addressData, QByteArray("BEGIN:VCARD\r\nFN:A & B\r\nEND:VCARD\r\n"));
    QVERIFY(card.displayName.isEmpty());
    QCOMPARE(answer.responses[1].status, 404);
    QVERIFY(!answer.responses[1].hasAddressData);
    const DavResponse& book = answer.responses[2];
    QVERIFY(book.isAddressBook);
    QCOMPARE(book.principal, QStringLiteral("/p/"));
    QCOMPARE(book.homeSet, QStringLiteral("/h/"));
}

void TestMultistatus::refusesMalformed_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut off") << QByteArray(
        R"(<D:multistatus xmlns:D="DAV:"><D:response><D:href>/a)");
    QTest::newRow("mismatched tags")
        << QByteArray(R"(<D:multistatus xmlns:D="DAV:"><D:response></D:href></D:multistatus>)");
    QTest::newRow("garbage after the root")
        << QByteArray(R"(<D:multistatus xmlns:D="DAV:"/><oops>)");
    QTest::newRow("no multistatus") << QByteArray(R"(<D:error xmlns:D="DAV:"/>)");
    QTest::newRow("multistatus outside DAV:") << QByteArray("<multistatus/>");
    QTest::newRow("HTML error page") << QByteArray("<html><body>Bad gateway</body></html>");
    QTest::newRow("undefined entity")
        << QByteArray(R"(<D:multistatus xmlns:D="DAV:"><D:href>&nope;</D:href></D:multistatus>)");
}

void TestMultistatus::refusesMalformed() {
    QFETCH(QByteArray, xml);
    QVERIFY_THROWS_EXCEPTION(Failure, parseMultistatus(xml));
}

void TestMultistatus::statusLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("status");
    QTest::newRow("ok") << "HTTP/1.1 200 OK" << 200;
    QTest::newRow("no reason") << "HTTP/1.1 404" << 404;
    QTest::newRow("extra blanks") << "  HTTP/1.1   507  Insufficient" << 507;
    QTest::newRow("no number") << "HTTP/1.1 OK" << 0;
    QTest::newRow("out of range") << "HTTP/1.1 20000 Big" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestMultistatus::statusLines() {
    QFETCH(QString, line);
    QFETCH(int, status);
    QCOMPARE(statusOfLine(line.trimmed()), status);
}

QTEST_GUILESS_MAIN(TestMultistatus)
#include "tst_multistatus.moc"
