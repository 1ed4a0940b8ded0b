#include "cards/searchtext.h"
#include "contacts/contactfilter.h"
#include "contacts/searchfold.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace pennacle;

namespace {

// A 2.1 card, unless the lines name their own version first.
ContactEntry contact(const QString& name, const QString& lines) {
    const QString version = lines.startsWith("VERSION:") ? "" : "VERSION:2.1\r\n";
    return {name, "BEGIN:VCARD\r\n" + version + lines + "END:VCARD"};
}

QStringList shownNames(const ContactFilter& filter) {
    QStringList names;
    for (int row = 0; row < filter.rowCount(); ++row)
        names << filter.index(row, ContactList::NameColumn).data().toString();
    return names;
}

}  // namespace

class TestContactFilter : public QObject {
    Q_OBJECT
private slots:
    void folding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        const std::pair<const char*, const char*> rows[] = {
            {"MÜLLER Müller", "muller muller"},
            {"Mu\u0308ller", "muller"},  // a combining mark
            {"Åsa Björklund, Søren Ærø", "asa bjorklund, soren aero"},
            {"\u01FE", "o"},  // a mark on a spelled-out letter
            {"Straße STRAẞE", "strasse strasse"},
            {"ﬁne Ｗ²", "fine w2"},
            {"ΟΔΥΣΣΕΎΣ", "οδυσσευσ"},
            {"a\tb\r\nc", "a b  c"},
            {"Zoë 😀", "zoe 😀"},
        };
        for (const auto& [text, folded] : rows)
            QTest::newRow(text) << QString::fromUtf8(text) << QString::fromUtf8(folded);
    }
    void folding() {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QCOMPARE(QString::fromUtf8(foldForSearch(text)), folded);
    }

    // Whether a query finds a contact, for each kind of field and each way a card writes it.
    void searchText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("found");
        const struct {
            const char *tag, *name, *lines, *query;
            bool found;
        } rows[] = {
            {"shown name", "Müller, Jürgen", "", "muller, j", true},
            {"quoted-printable N", "x",
             "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=BCrgen;;;\r\n",
             "MULLER JURGEN", true},
            {"e-mail", "x", "EMAIL;INTERNET:JM@Post.Example\r\n", "jm@post", true},
            {"grouped, lower case", "x", "item1.email;type=pref:a@b.example\r\n", "a@b", true},
            {"phone as written", "x", "TEL;CELL:+49 (30) 555-0175\r\n", "(30) 555", true},
            {"phone as digits", "x", "TEL;CELL:+49 (30) 555-0175\r\n", "49305550175", true},
            {"company, department", "x", "ORG:Evergreen Realty;Research\r\n", "realty research",
             true},
            {"note continuation lines", "x", "NOTE:Met at the fair\r\n\r\nin Lyon\r\nTEL:1\r\n",
             "fair in lyon", true},
            {"quoted-printable note, soft break", "x",
             "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Caf=C3=A9 =\r\nau lait\r\n",
             "cafe au lait", true},
            {"edited note", "x", "NOTE;QUOTED-PRINTABLE:first=0D=0Asecond\r\n", "first  second",
             true},
            {"folded line", "x", "NOTE:long\r\n line\r\n", "long line", true},
            {"2.1 folding keeps its blanks", "x", "NOTE:long\r\n  line\r\n", "long  line", true},
            {"escapes", "x", "VERSION:3.0\r\nNOTE:one\\, two\\nthree\r\n", "one, two  three", true},
            // 2.1 knows no backslash escapes but "\\;" in compound values: searched as shown.
            {"2.1 note backslashes", "x", "NOTE:Files in C:\\temp\\new\r\n", "c:\\temp\\new", true},
            {"2.1 note backslash n", "x", "NOTE:Files in C:\\temp\\new\r\n", "new", true},
            {"2.1 company backslash", "x", "ORG:R\\D Labs\r\n", "r\\d labs", true},
            {"3.0 escaped separator in a name", "x", "VERSION:3.0\r\nN:Doe;Tea\\; no sugar;;;\r\n",
             "tea; no sugar", true},
            {"a sign that folds to a separator", "x", "N:A\uFE54B;C\r\n", "a\uFE54b", true},
            {"quoted parameter with colon", "x", "TEL;X-GEO=\"geo:12,34\":555-0175\r\n", "1234",
             false},
            {"number after quoted parameter", "x", "TEL;X-GEO=\"geo:12,34\":555-0175\r\n",
             "5550175", true},
            {"address not searched", "x", "ADR;HOME:;;1 Main St;Springfield;;;\r\n", "springfield",
             false},
            {"photo not searched", "x", "PHOTO;ENCODING=BASE64:QUFB\r\n QUFBQUFB\r\n\r\n", "qufb",
             false},
            {"no match across values", "x", "TEL:123\r\nTEL:456\r\n", "123456", false},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.tag) << QString::fromUtf8(r.name) << QString::fromUtf8(r.lines)
                                 << QString::fromUtf8(r.query) << r.found;
        }
    }
    void searchText() {
        QFETCH(QString, name);
        QFETCH(QString, lines);
        QFETCH(QString, query);
        QFETCH(bool, found);
        const QByteArray text = contactSearchText(contact(name, lines));
        QCOMPARE(text.contains(foldForSearch(query)), found);
    }

    void filtering_data() {
        QTest::addColumn<QStringList>("queries");  // typed one after another
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty shows all") << QStringList{""} << QStringList{"A", "B", "C", "D"};
        QTest::newRow("one letter") << QStringList{"m"} << QStringList{"A", "C", "D"};
        QTest::newRow("narrowing")
            << QStringList{"m", "mu", "mul", "mull"} << QStringList{"A", "C"};
        QTest::newRow("widening again")
            << QStringList{"mull", "mul", "mu"} << QStringList{"A", "C", "D"};
        QTest::newRow("changed, not narrowed")
            << QStringList{"mull", "ull", "555"} << QStringList{"B", "D"};
        QTest::newRow("nothing") << QStringList{"zzz"} << QStringList{};
    }
    void filtering() {
        QFETCH(QStringList, queries);
        QFETCH(QStringList, shown);
        ContactList list;
        list.append({contact("A", "N:Müller\r\n"), contact("B", "TEL:555-1\r\n"),
                     contact("C", "NOTE:cousin of J. Mull\r\n"),
                     contact("D", "EMAIL:mu@x.example\r\nTEL:555\r\n")});
        ContactFilter filter(list, contactSearchText);
        for (const QString& query : queries)
            filter.setQuery(query);
        QCOMPARE(shownNames(filter), shown);
        QCOMPARE(filter.shownCount(), shown.size());
        std::vector<int> rows;
        for (int row = 0; row < filter.rowCount(); ++row) {
            const qsizetype contactRow = filter.contactRow(row);
            QCOMPARE(list.at(contactRow).Text, shown[row]);
            QCOMPARE(filter.shownRow(contactRow), row);
            rows.push_back(int(contactRow));
        }
        // Without a model (the command line's find), the last query finds the same rows.
        QCOMPARE(findContacts(list.entries(), contactSearchText, queries.last()), rows);
    }

    // A list large enough to be searched on several cores finds its rows in list order.
    void findsInOrderOverManyRows() {
        std::vector<ContactEntry> rows(200001);
        std::vector<int> expected;
        for (int row = 0; row < int(rows.size()); ++row) {
            rows[size_t(row)].Text = row % 3 == 0 ? QStringLiteral("hit") : QStringLiteral("miss");
            if (row % 3 == 0)
                expected.push_back(row);
        }
        const SearchText byName = [](const ContactEntry& entry) { return entry.Text.toUtf8(); };
        QCOMPARE(findContacts(rows, byName, u"HIT"), expected);
        QCOMPARE(findContacts(rows, byName, u"").size(), rows.size());
        QCOMPARE(findContacts(rows, byName, u"zzz"), std::vector<int>());
    }

    // Every change of the list reaches the shown rows, checked by Qt's model tester as well.
    void followsTheList() {
        ContactList list;
        ContactFilter filter(list, contactSearchText);
        QAbstractItemModelTester tester(&filter,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy counts(&filter, &ContactFilter::countsChanged);
        filter.setQuery(u"smith");
        list.append({contact("Smith, A", ""), contact("Jones", ""), contact("Smithers", "")});
        QCOMPARE(shownNames(filter), QStringList({"Smith, A", "Smithers"}));
        QCOMPARE(counts.count(), 2);  // the query, then the import

        list.append({contact("Doe", "EMAIL:smith@x.example\r\n"), contact("Roe", "")});
        QCOMPARE(shownNames(filter), QStringList({"Smith, A", "Smithers", "Doe"}));
        QCOMPARE(filter.contactRow(2), 3);

        list.remove(1);  // not shown: the rows after it move up
        QCOMPARE(shownNames(filter), QStringList({"Smith, A", "Smithers", "Doe"}));
        QCOMPARE(filter.contactRow(2), 2);
        list.remove(0);  // shown
        QCOMPARE(shownNames(filter), QStringList({"Smithers", "Doe"}));
        QCOMPARE(filter.mapToSource(filter.index(1, 0)), list.index(1, 0));
        QCOMPARE(filter.mapFromSource(list.index(2, 0)), QModelIndex());  // Roe is not shown

        // An edited card is searched by its new text, but its row stays until the query changes.
        QSignalSpy changed(&filter, &QAbstractItemModel::dataChanged);
        list.setCard(1, contact("", "N:Doe;Jane\r\n").card);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(shownNames(filter), QStringList({"Smithers", "Doe"}));
        list.setCard(2, contact("", "NOTE:ask Smith\r\n").card);
        QCOMPARE(changed.count(), 1);  // Roe is not shown
        filter.setQuery(u"smit");
        QCOMPARE(shownNames(filter), QStringList({"Smithers", "Roe"}));
        QCOMPARE(filter.foldedQuery(), QByteArray("smit"));

        list.clear();
        QCOMPARE(filter.rowCount(), 0);
        QCOMPARE(filter.headerData(0, Qt::Horizontal).toString(), QString("Name"));
        filter.setQuery(u"");
        list.append(contact("New", ""));
        QCOMPARE(shownNames(filter), QStringList({"New"}));
    }
};

QTEST_GUILESS_MAIN(TestContactFilter)
#include "tst_contactfilter.moc"
