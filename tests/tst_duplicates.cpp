// Probable duplicates: which contacts form a group, and why. Each row is a list of cards and
// the groups expected as pennacle-cli prints them.

#include "cards/duplicates.h"
#include "cards/importer.h"
#include "support/collectingreporter.h"

#include <QTest>

using namespace pennacle;

namespace {

QByteArray card(const QByteArray& lines) {
    return "BEGIN:VCARD\r\nVERSION:2.1\r\n" + lines + "END:VCARD\r\n";
}

QString groupsOf(const QByteArray& file, const QString& region) {
    CollectingReporter reporter;
    const std::vector<ContactEntry> contacts =
        scanCards(CardBytes(file, CardEncoding::Utf8), reporter);
    QStringList lines;
    for (const DuplicateGroup& group : findDuplicates(contacts, region)) {
        QStringList rows;
        for (const qsizetype row : group.rows)
            rows << QString::number(row + 1);
        lines << rows.join(u' ') + u'\t' + duplicateReasonsText(group.reasons);
    }
    return lines.join(u'\n');
}

}  // namespace

class TestDuplicates : public QObject {
    Q_OBJECT
private slots:
    void groups_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("groups");
        const QByteArray peter = card("N:van M\xc3\xbcller;Peter\r\nTEL;WORK:089/1234-5678\r\n");
        const QByteArray mueller = card("FN:Mueller, Peter\r\nTEL:+49 89 12345678\r\n");
        QTest::newRow("one number written three ways, names in either order")
            << peter + mueller + card("N:M\xc3\xbcller;Peter;J.\r\nTEL:0049 89 12345678\r\n")
            << "DE"
            << "1 2 3\tsame phone, same name";
        QTest::newRow("a national number is of the region")
            << card("TEL:0170 1234567\r\n") + card("TEL:+49 (170) 123-4567\r\n") +
                   card("TEL:0170 1234567\r\n")
            << "FR"
            << "1 3\tsame card, same phone";
        QTest::newRow("same name, different numbers and addresses")
            << card("N:Miller;John\r\nTEL:555-0101\r\nEMAIL:a@x.org\r\n") +
                   card("FN:John Miller\r\nTEL:555-0102\r\nEMAIL:b@x.org\r\n")
            << "US"
            << "";
        QTest::newRow("same name, one without any number")
            << card("N:Miller;John\r\nTEL:555-0101\r\n") + card("FN:Miller, John Q.\r\n") << "US"
            << "1 2\tsame name";
        QTest::newRow("a family sharing the home number")
            << card("N:Okafor;Ada\r\nTEL;HOME:0170 1234567\r\n") +
                   card("N:Okafor;Chidi\r\nTEL;HOME:+49 (170) 123-4567\r\n")
            << "DE"
            << "";
        QTest::newRow("a shared address, other family")
            << card("N:Okafor;Ada\r\nEMAIL:info@firm.example\r\n") +
                   card("N:Smith;Ada\r\nEMAIL:info@firm.example\r\n")
            << "DE"
            << "";
        QTest::newRow("address in any letter case, initials dropped")
            << card("FN:John F. Kennedy\r\nEMAIL:JFK@Example.org\r\n") +
                   card("N:Kennedy;John\r\nEMAIL;INTERNET:jfk@example.ORG\r\n")
            << "US"
            << "1 2\tsame e-mail, same name";
        const QByteArray three =
            peter + card("N:Roe;Jane\r\nEMAIL:j@roe.example\r\n") + card("N:Poe;Ed\r\n");
        QTest::newRow("the same file twice: one group a contact")
            << three + three << "DE"
            << "1 4\tsame card, same phone, same name\n"
               "2 5\tsame card, same e-mail, same name\n"
               "3 6\tsame card, same name";
        QTest::newRow("nothing to match by but the card")
            << card("ORG:Acme\r\n") + card("ORG:Acme\r\n") + card("ORG:Acme Inc\r\n") << "DE"
            << "1 2\tsame card";
    }
    void groups() {
        QFETCH(QByteArray, file);
        QFETCH(QString, region);
        QFETCH(QString, groups);
        QCOMPARE(groupsOf(file, region), groups);
    }

    void nameFolding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("words");
        QTest::newRow("umlauts transcribed, accents and case dropped")
            << "M\u00fcller-\u00c9mile STRA\u00dfE" << QByteArray("mueller emile strasse");
        QTest::newRow("marks and punctuation only") << ".,;- \u0301" << QByteArray();
    }
    void nameFolding() {
        QFETCH(QString, text);
        QFETCH(QByteArray, words);
        QByteArray joined;
        for (const QByteArray& word : nameWords(text))
            joined += (joined.isEmpty() ? "" : " ") + word;
        QCOMPARE(joined, words);
    }
};

QTEST_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
