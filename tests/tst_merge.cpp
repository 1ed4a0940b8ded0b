// Merging a group of contacts into one: what survives from each card, and that the merged card
// settles.

#include "cards/loader.h"
#include "cards/merge.h"
#include "cards/rebuild.h"
#include "support/collectingreporter.h"

#include <QTest>

using namespace pennacle;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(1, 2, 3));

const QByteArray kFirst =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:van M\xc3\xbcller;Peter\r\nTEL;WORK;VOICE:089/1234-5678\r\n"
    "EMAIL;INTERNET:peter@example.org\r\nUID:first-uid\r\nNICKNAME:Pit\r\nNOTE:met in Munich\r\n"
    "END:VCARD\r\n";
const QByteArray kSecond =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Mueller;Peter;;;\r\nORG:Acme\r\n"
    "TEL;TYPE=WORK,VOICE:+49 89 99999\r\nTEL;TYPE=CELL:0170 1234567\r\n"
    "EMAIL;TYPE=INTERNET:PETER@example.org\r\nEMAIL;TYPE=HOME:pm@home.example\r\n"
    "UID:second-uid\r\nNICKNAME:Pit\r\nX-SOCIAL:@pm\r\nNOTE:plays chess\r\nEND:VCARD\r\n";

std::vector<CardForm> formsOf(const std::vector<QByteArray>& cards) {
    CollectingReporter reporter;
    std::vector<CardForm> forms;
    for (const QByteArray& card : cards)
        forms.push_back(loadCardForm(CardBytes(card, CardEncoding::Utf8), reporter));
    return forms;
}

QStringList keptLines(const CardBytes& card) {
    CollectingReporter reporter;
    return loadCardForm(card, reporter).otherLines.toList();
}

}  // namespace

class TestMerge : public QObject {
    Q_OBJECT
private slots:
    void keepsEveryLineOnceAndSettles_data() {
        QTest::addColumn<bool>("keepAll");
        QTest::addColumn<int>("nameFrom");
        QTest::addColumn<QString>("lastName");
        QTest::addColumn<QStringList>("emails");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("everything from all, first name chosen")
            << true << 0 << QString("van M\u00fcller")
            << QStringList{"peter@example.org", "pm@home.example"}
            << QString("met in Munich\r\nplays chess")
            << QStringList{"UID:first-uid", "NICKNAME:Pit", "X-SOCIAL:@pm",
                           "TEL;WORK;VOICE:+49 89 99999"};
        QTest::newRow("chosen values only, second name")
            << false << 1 << QString("Mueller") << QStringList{"peter@example.org"}
            << QString("met in Munich")
            << QStringList{"UID:first-uid", "NICKNAME:Pit", "X-SOCIAL:@pm"};
    }
    void keepsEveryLineOnceAndSettles() {
        QFETCH(bool, keepAll);
        QFETCH(int, nameFrom);
        QFETCH(QString, lastName);
        QFETCH(QStringList, emails);
        QFETCH(QString, notes);
        QFETCH(QStringList, kept);
        const std::vector<CardForm> forms = formsOf({kFirst, kSecond});
        MergeChoices choices = defaultMergeChoices(forms);
        choices.field[LastName] = nameFrom;
        choices.allEmails = choices.allPhones = choices.allNotes = keepAll;
        CollectingReporter reporter;
        const CardBytes merged = mergeCards(forms, choices, kNow, reporter);
        QVERIFY(reporter.reports.isEmpty());

        const CardForm form = loadCardForm(merged, reporter);
        QCOMPARE(form[LastName], lastName);
        QCOMPARE(form[Company], QString("Acme"));             // the only one that has it
        QCOMPARE(form[WorkVoice], QString("089/1234-5678"));  // the first that has it
        QCOMPARE(form[Cellular], QString("0170 1234567"));
        QCOMPARE(form.Combo1, emails);
        QCOMPARE(form[Notes], notes);
        QCOMPARE(keptLines(merged), kept);
        // Loaded and rebuilt, the merged card stays as it is.
        const CardBytes again = rebuildCard(form, kNow, reporter);
        QCOMPARE(again.text(), merged.text());
    }
};

QTEST_MAIN(TestMerge)
#include "tst_merge.moc"
