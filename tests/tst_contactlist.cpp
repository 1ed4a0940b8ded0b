#include "cards/searchtext.h"
#include "contacts/contactfilter.h"
#include "contacts/contactlist.h"

#include <QSignalSpy>
#include <QTest>

using namespace pennacle;

namespace {
std::vector<ContactEntry> entries(std::initializer_list<const char*> names) {
    std::vector<ContactEntry> rows;
    for (const char* name : names) {
        rows.push_back({QLatin1String(name), QStringLiteral("BEGIN:VCARD\r\nN:") +
                                                 QLatin1String(name) +
                                                 QStringLiteral("\r\nEND:VCARD")});
    }
    return rows;
}
}  // namespace

class TestContactList : public QObject {
    Q_OBJECT
private slots:
    void firstRowOfEmptyListBecomesCurrent() {
        ContactList list;
        QCOMPARE(list.currentRow(), -1);
        QVERIFY(list.current() == nullptr);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        list.append(entries({"A", "B", "C"}));
        QCOMPARE(inserted.count(), 1);  // one batch
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.currentRow(), 0);
        QCOMPARE(list.at(2).Text, QString("C"));
    }

    void appendingKeepsTheCurrentRow() {
        ContactList list;
        list.append(entries({"A", "B"}));
        list.setCurrentRow(1);
        list.append(entries({"A", "D"}));  // duplicates are kept
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.currentRow(), 1);
        QCOMPARE(list.at(2).Text, QString("A"));
        list.append(std::vector<ContactEntry>{});
        QCOMPARE(list.count(), 4);
    }

    void settingACardKeepsTheName() {
        ContactList list;
        list.append(entries({"Doe, John"}));
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        list.setCard(0, QStringLiteral("BEGIN:VCARD\r\nN:Smith\r\nEND:VCARD"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(list.at(0).Text, QString("Doe, John"));
        QVERIFY(list.at(0).card.bytes().contains("Smith"));
    }

    // An edit's new name reaches the list and the find bar, whose next query finds the contact
    // by it even when it narrows a query that hid the contact.
    void settingACardAndItsName() {
        ContactList list;
        list.append(entries({"Doe, John", "Other"}));
        ContactFilter filter(list, contactSearchText);
        filter.setQuery(u"smith");
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        list.setCard(0, QStringLiteral("BEGIN:VCARD\r\nN:x\r\nEND:VCARD"), "Smith, Ann");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex().column(), int(ContactList::NameColumn));
        QCOMPARE(list.data(list.index(0, 0)).toString(), QString("Smith, Ann"));
        QVERIFY(filter.searchTextOf(0).startsWith("smith, ann\n"));
        QCOMPARE(filter.shownCount(), 0);  // while the query stays
        filter.setQuery(u"smith, a");
        QCOMPARE(filter.shownRow(0), 0);
    }

    void removalRules_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("expectedCurrent");
        QTest::addColumn<QString>("expectedCurrentName");
        QTest::newRow("current in the middle") << 1 << 1 << 1 << "C";
        QTest::newRow("current last") << 3 << 3 << 2 << "C";
        QTest::newRow("row before current") << 2 << 0 << 1 << "C";
        QTest::newRow("row after current") << 1 << 3 << 1 << "B";
    }
    void removalRules() {
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(int, expectedCurrent);
        QFETCH(QString, expectedCurrentName);
        ContactList list;
        list.append(entries({"A", "B", "C", "D"}));
        list.setCurrentRow(current);
        list.remove(removed);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.currentRow(), expectedCurrent);
        QCOMPARE(list.current()->Text, expectedCurrentName);
    }

    void removingTheLastRowAndClearing() {
        ContactList list;
        list.append(entries({"A"}));
        list.remove(0);
        QVERIFY(list.isEmpty());
        QCOMPARE(list.currentRow(), -1);
        list.remove(0);  // nothing to remove: no effect
        list.append(entries({"A", "B"}));
        QCOMPARE(list.currentRow(), 0);
        QSignalSpy current(&list, &ContactList::currentRowChanged);
        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.currentRow(), -1);
        QCOMPARE(current.count(), 1);
    }

    void modelColumnsAndHeaders() {
        ContactList list;
        list.append(entries({"Doe, John"}));
        QCOMPARE(list.columnCount(), 2);
        QCOMPARE(list.headerData(0, Qt::Horizontal).toString(), QString("Name"));
        QCOMPARE(list.headerData(1, Qt::Horizontal).toString(), QString("VCF Data"));
        QCOMPARE(list.data(list.index(0, 0)).toString(), QString("Doe, John"));
        QVERIFY(list.data(list.index(0, 1)).toString().startsWith("BEGIN:VCARD"));
    }

    void hundredThousandRowsInOneBatch() {
        std::vector<ContactEntry> rows;
        rows.reserve(100000);
        for (int i = 0; i < 100000; ++i) {
            rows.push_back({QString::number(i), QStringLiteral("BEGIN:VCARD\r\nEND:VCARD")});
        }
        ContactList list;
        list.append(entries({"first"}));
        list.append(std::move(rows));
        list.remove(50000);
        QCOMPARE(list.count(), 100000);
        QCOMPARE(list.at(50000).Text, QString("50000"));
    }
};

QTEST_APPLESS_MAIN(TestContactList)
#include "tst_contactlist.moc"
