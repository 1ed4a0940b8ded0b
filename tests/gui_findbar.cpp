#include "app/findbar.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace pennacle;

namespace {

const QString kCards = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=BCrgen\r\n"
    "EMAIL;INTERNET:jm@post.example\r\nTEL;CELL:+49 30 5550175\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Roe;Jane\r\nORG:Evergreen Realty\r\n"
    "NOTE:Met at the fair\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Poe;Ed\r\nTEL;WORK;VOICE:555-0199\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Mullins;Anna\r\n"
    "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Cousin of J. M=C3=BCller\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ash;Felix\r\nORG:MÜLLER & Sons\r\nEND:VCARD\r\n");
const QStringList kAll = {"Müller, Jürgen", "Roe, Jane", "Poe, Ed", "Mullins, Anna", "Ash, Felix"};
const QStringList kMullers = {"Müller, Jürgen", "Mullins, Anna", "Ash, Felix"};

// A shown, active window holding the five contacts above, the first one current.
struct FindWindow : WindowFixture {
    FindWindow() {
        open();
        form->show();
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning() << "window not active";
        import(kCards);
    }
    FindBar* bar() const { return find<FindBar>("FindBar"); }
    QLineEdit* text() const { return find<QLineEdit>("FindText"); }
    QString counts() const { return find<QLabel>("FindCount")->text(); }
    void openBar() { QTest::keyClick(list(), Qt::Key_F, Qt::ControlModifier); }
    void type(const QString& query) { QTest::keyClicks(text(), query); }
    QStringList shown() const {
        QStringList names;
        const QAbstractItemModel* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }
    QString currentName() const { return form->contacts().current()->Text; }
    void clickName() const {
        QHeaderView* header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    }
    QString selectedName() const { return list()->currentIndex().data().toString(); }
};

}  // namespace

class TestFindBar : public QObject {
    Q_OBJECT
private slots:
    void countText_data() {
        QTest::addColumn<qsizetype>("shown");
        QTest::addColumn<qsizetype>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qsizetype(0) << qsizetype(0) << "0 of 0";
        QTest::newRow("hundred thousand") << qsizetype(12) << qsizetype(100000) << "12 of 100,000";
        QTest::newRow("millions") << qsizetype(999) << qsizetype(12345678) << "999 of 12,345,678";
    }
    void countText() {
        QFETCH(qsizetype, shown);
        QFETCH(qsizetype, total);
        QFETCH(QString, text);
        QCOMPARE(findCountText(shown, total), text);
    }

    void opensBelowTheListAndClosesKeepingTheCurrentContact() {
        FindWindow w;
        const QRect place = fromTwips(120, 630, 7800, 3435);
        // The list leaves the room at its bottom to the count, and to the bar when it is open:
        // opening the bar moves nothing.
        const QRect list = w.list()->geometry();
        const auto* count = w.find<QLabel>("ContactCount");
        QCOMPARE(list.topLeft(), place.topLeft());
        QCOMPARE(list.width(), place.width());
        QVERIFY(w.bar()->isHidden());
        QVERIFY(count->isVisible());
        QCOMPARE(count->text(), QString("5 contacts"));
        w.list()->setCurrentIndex(w.form->contacts().index(2, 0));

        w.openBar();
        QVERIFY(w.bar()->isVisible());
        QVERIFY(!count->isVisible());
        QVERIFY(w.text()->hasFocus());
        QCOMPARE(w.counts(), QString("5 of 5"));
        const QRect bar = w.bar()->geometry();
        QCOMPARE(w.list()->geometry(), list);
        QCOMPARE(count->geometry(), bar);
        QVERIFY(list.bottom() < bar.top());
        QCOMPARE(QRect(bar.left(), bar.bottom(), bar.width(), 1),
                 QRect(place.left(), place.bottom(), place.width(), 1));
        QCOMPARE(w.selectedName(), QString("Poe, Ed"));

        w.type("zzz");  // the current contact is not shown, and stays current
        QCOMPARE(w.counts(), QString("0 of 5"));
        QVERIFY(!w.list()->currentIndex().isValid());
        QCOMPARE(w.box(LastName)->text(), QString("Poe"));

        QTest::keyClick(w.text(), Qt::Key_Escape);
        QVERIFY(w.bar()->isHidden());
        QVERIFY(count->isVisible());
        QCOMPARE(w.list()->geometry(), list);
        QCOMPARE(w.shown(), kAll);
        QCOMPARE(w.selectedName(), QString("Poe, Ed"));
        QCOMPARE(w.form->contacts().currentRow(), 2);
        QVERIFY(w.list()->hasFocus());

        w.openBar();  // a new search each time
        QCOMPARE(w.text()->text(), QString());
        QCOMPARE(w.shown(), kAll);
    }

    void filtersByWhatTheContactsHold_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("counts");
        QTest::newRow("name, note, company; accents") << "muller" << kMullers << "3 of 5";
        QTest::newRow("letter case") << "MÜLL" << kMullers << "3 of 5";
        QTest::newRow("phone digits") << "5550175" << QStringList{"Müller, Jürgen"} << "1 of 5";
    }
    void filtersByWhatTheContactsHold() {
        QFETCH(QString, query);
        QFETCH(QStringList, shown);
        QFETCH(QString, counts);
        FindWindow w;
        w.openBar();
        w.type(query);
        QCOMPARE(w.shown(), shown);
        QCOMPARE(w.counts(), counts);
    }

    void pickingFilteredRows() {
        FindWindow w;
        w.list()->setCurrentIndex(w.form->contacts().index(1, 0));  // Roe
        w.openBar();
        w.type("muller");
        QTest::keyClick(w.text(), Qt::Key_Down);  // into the list, on its first row
        QVERIFY(w.list()->hasFocus());
        QCOMPARE(w.currentName(), QString("Müller, Jürgen"));
        QCOMPARE(w.box(LastName)->text(), QString("Müller"));
        QTest::keyClick(w.list(), Qt::Key_Down);
        QCOMPARE(w.currentName(), QString("Mullins, Anna"));
        QCOMPARE(w.box(LastName)->text(), QString("Mullins"));

        QTest::keyClick(w.list(), Qt::Key_Escape);
        QVERIFY(w.bar()->isHidden());
        QCOMPARE(w.form->contacts().currentRow(), 3);
        QCOMPARE(w.selectedName(), QString("Mullins, Anna"));

        w.openBar();
        w.type("realty");
        QTest::keyClick(w.text(), Qt::Key_Return);  // picks the first match
        QCOMPARE(w.currentName(), QString("Roe, Jane"));
        QCOMPARE(w.box(Company)->text(), QString("Evergreen Realty"));
        QVERIFY(w.text()->hasFocus());
        QCOMPARE(w.card(1), w.card());  // picking loads, never changes, the card
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // A key typed in a box renames the edited row at once. The row stays picked, and shown while
    // the query stays, and the form is not loaded again: the cursor and the focus stay.
    void typingRenamesTheEditedRow() {
        FindWindow w;
        w.openBar();
        w.type("mu");
        QTest::keyClick(w.text(), Qt::Key_Down);
        QLineEdit* last = w.box(LastName);
        last->setFocus();
        QTest::keyClick(last, Qt::Key_Home);
        QTest::keyClick(last, Qt::Key_Delete);
        QTest::keyClicks(last, "Z");
        QCOMPARE(last->text(), QString("Züller"));
        QCOMPARE(last->cursorPosition(), 1);
        QVERIFY(last->hasFocus());
        QCOMPARE(w.selectedName(), QString("Züller, Jürgen"));
        QCOMPARE(w.shown(), QStringList({"Züller, Jürgen", "Mullins, Anna", "Ash, Felix"}));
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    void deleteWhileFiltered() {
        FindWindow w;
        w.openBar();
        w.type("muller");
        QTest::keyClick(w.text(), Qt::Key_Down);
        QCOMPARE(w.selectedName(), QString("Müller, Jürgen"));
        QTest::keyClick(w.list(), Qt::Key_Delete);
        QCOMPARE(w.names(), QStringList({"Roe, Jane", "Poe, Ed", "Mullins, Anna", "Ash, Felix"}));
        QCOMPARE(w.shown(), QStringList({"Mullins, Anna", "Ash, Felix"}));
        QCOMPARE(w.counts(), QString("2 of 4"));
        // The next shown contact takes the place, not the next one of the whole list.
        QCOMPARE(w.currentName(), QString("Mullins, Anna"));
        QCOMPARE(w.selectedName(), QString("Mullins, Anna"));
        QCOMPARE(w.box(LastName)->text(), QString("Mullins"));

        QTest::keyClick(w.list(), Qt::Key_Down);
        w.form->PushButton5_Click();
        QCOMPARE(w.names(), QStringList({"Roe, Jane", "Poe, Ed", "Mullins, Anna"}));
        QCOMPARE(w.currentName(), QString("Mullins, Anna"));
        QCOMPARE(w.counts(), QString("1 of 3"));
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // While the find bar filters, Delete removes nothing that the user does not see selected.
    void deleteNeedsASelectedRow() {
        FindWindow w;
        w.list()->setCurrentIndex(w.form->contacts().index(2, 0));  // Poe, not a match
        w.openBar();
        w.type("muller");
        QTest::keyClick(w.list(), Qt::Key_Delete);
        QTest::mouseClick(w.find<QPushButton>("PushButton5"), Qt::LeftButton);
        QCOMPARE(w.names(), kAll);
        QCOMPARE(w.currentName(), QString("Poe, Ed"));
    }

    void saveClearAndImportWorkOnTheWholeList() {
        FindWindow w;
        w.list()->setCurrentIndex(w.form->contacts().index(2, 0));  // Poe, not a match
        w.openBar();
        w.type("muller");
        const QString path = w.dir.filePath("all.vcf");
        w.dialogs.fileAnswers.enqueue(path);
        w.form->PushButton1_Click();
        QCOMPARE(readBytes(path).count("BEGIN:VCARD"), 5);

        w.import(
            "BEGIN:VCARD\r\nN:Müllerová;Eva\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nN:Smith;Al\r\nEND:VCARD\r\n",
            "more.vcf");
        QCOMPARE(w.form->contacts().count(), 7);
        QCOMPARE(w.shown(), kMullers + QStringList{"Müllerová, Eva"});
        QCOMPARE(w.counts(), QString("4 of 7"));
        QCOMPARE(w.currentName(), QString("Poe, Ed"));

        w.form->PushButton6_Click();
        QCOMPARE(w.shown(), QStringList());
        QCOMPARE(w.counts(), QString("0 of 0"));
        QVERIFY(w.bar()->isVisible());
        w.import(kCards);
        QCOMPARE(w.shown(), kMullers);
        QCOMPARE(w.selectedName(), QString("Müller, Jürgen"));
        QTest::keyClick(w.text(), Qt::Key_Escape);
        QCOMPARE(w.shown(), kAll);
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // Clicking "Name" sorts what the list shows, filtered or not; the list keeps its order.
    void sortingByNameIsForTheEyeOnly() {
        FindWindow w;
        const QStringList ascending = {"Ash, Felix", "Müller, Jürgen", "Mullins, Anna", "Poe, Ed",
                                       "Roe, Jane"};
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        w.list()->setCurrentIndex(w.form->contacts().index(2, 0));  // Poe

        w.clickName();
        QCOMPARE(w.shown(), ascending);
        QCOMPARE(w.selectedName(), QString("Poe, Ed"));
        QCOMPARE(w.form->shownRowOf(2), 3);
        QCOMPARE(w.form->contactRowShownAt(0), qsizetype(4));
        QCOMPARE(w.form->contactRowShownAt(5), qsizetype(-1));
        w.list()->setCurrentIndex(w.list()->model()->index(0, 0));
        QCOMPARE(w.box(LastName)->text(), QString("Ash"));

        w.clickName();
        QCOMPARE(w.shown(), descending);
        w.openBar();
        w.type("mul");
        QCOMPARE(w.shown(), QStringList({"Mullins, Anna", "Müller, Jürgen", "Ash, Felix"}));
        w.list()->setCurrentIndex(w.list()->model()->index(0, 0));
        QTest::keyClick(w.list(), Qt::Key_Delete);
        QCOMPARE(w.names(), QStringList({"Müller, Jürgen", "Roe, Jane", "Poe, Ed", "Ash, Felix"}));
        QTest::keyClick(w.text(), Qt::Key_Escape);
        QCOMPARE(w.shown(), QStringList({"Roe, Jane", "Poe, Ed", "Müller, Jürgen", "Ash, Felix"}));

        w.clickName();  // the third click shows the list's order again
        QCOMPARE(w.shown(), w.names());
        QCOMPARE(w.list()->model(), &w.form->contacts());
    }

    void sortingManyContactsStaysQuick() {
#ifdef PENNACLE_SANITIZED
        const int count = 10000;
#else
        const int count = 100000;
#endif
        FindWindow w;
        w.form->PushButton6_Click();
        QString cards;
        for (int i = 0; i < count; ++i)
            cards +=
                QStringLiteral("BEGIN:VCARD\r\nN:N%1;x\r\nEND:VCARD\r\n").arg((i * 7919) % count);
        w.import(cards, "many.vcf");
        QElapsedTimer clock;
        clock.start();
        w.clickName();
        qInfo() << "sorted" << w.list()->model()->rowCount() << "contacts in" << clock.elapsed()
                << "ms";
        const QAbstractItemModel* model = w.list()->model();
        for (int row = 1; row < model->rowCount(); ++row) {
            QVERIFY(model->index(row - 1, 0).data().toString() <=
                    model->index(row, 0).data().toString());
        }
    }
};

QTEST_MAIN(TestFindBar)
#include "gui_findbar.moc"
