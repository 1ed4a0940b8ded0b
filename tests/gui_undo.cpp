// New Contact, and undo and redo of every command that changes the list or a card: each
// command undone gives back every card's bytes and the list's order, and redone gives the
// state after it again.

#include "cards/loader.h"
#include "cards/merge.h"
#include "support/cardphotos.h"
#include "support/collectingreporter.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace pennacle;

namespace {

// Shares the first card with the samples, so a sample can be told from an import.
const QByteArray kCards =
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nEMAIL;INTERNET:j@doe.example\r\n"
    "X-KEPT:one\r\nREV:20200101T000000Z\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Roe;Jane\r\nTEL;CELL:777\r\n"
    "PHOTO;TYPE=GIF;ENCODING=BASE64:\r\n R0lGODlhAQABAIAAAP//AAAAACwAAAAAAQABAAACAkQBADs=\r\n\r\n"
    "END:VCARD\r\n"
    "BEGIN:VCARD\r\nN:Poe;Ed\r\nEND:VCARD\r\n";

struct Window : WindowFixture {
    explicit Window(const QByteArray& more = {}) {
        QDir().mkpath(appFolder() + "/Samples");
        writeBytes(appFolder() + "/Samples/sample.vcf",
                   "BEGIN:VCARD\r\nN:Sample;Sam\r\nEND:VCARD\r\n");
        open();
        dialogs.fileAnswers.enqueue(writeFile("cards.vcf", kCards + more));
        form->PushButton2_Click();
    }
    // Keys reach the window's shortcuts only in a shown, active window.
    void activate() {
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void select(int row) { list()->setCurrentIndex(form->contacts().index(row, 0)); }
};

// What undo and redo must give back: every card with its name, in order, and the current row.
struct ListState {
    QList<QPair<QString, QByteArray>> rows;
    qsizetype current = -1;
    bool operator==(const ListState&) const = default;
};

ListState stateOf(const Window& w) {
    ListState state;
    const ContactList& contacts = w.form->contacts();
    for (qsizetype i = 0; i < contacts.count(); ++i)
        state.rows.append({contacts.at(i).Text, contacts.at(i).card.bytes()});
    state.current = contacts.currentRow();
    return state;
}

char* toString(const ListState& state) {
    QByteArray text = "current " + QByteArray::number(state.current);
    for (const auto& [name, card] : state.rows)
        text += "\n" + name.toUtf8() + " | " + card;
    return qstrdup(text.constData());
}

using Command = std::function<void(Window&)>;

}  // namespace

Q_DECLARE_METATYPE(Command)

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoEachCommand_data() {
        QTest::addColumn<int>("selected");  // the contact selected before the command
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("shownAfterRedo");
        QTest::addColumn<QByteArray>("more");  // cards imported after the usual three
        const auto row = [](const char* name, int selected, Command command, int shown,
                            const QByteArray& more = {}) {
            QTest::newRow(name) << selected << command << shown << more;
        };
        row(
            "import", 1, [](Window& w) { w.form->importFiles({w.writeFile("b.vcf", kCards)}); }, 3);
        row(
            "load samples", 2, [](Window& w) { w.form->PushButton7_Click(); }, 3);
        row(
            "new contact", 0, [](Window& w) { w.form->PushButton14_Click(); }, 3);
        row(
            "delete middle", 1, [](Window& w) { w.form->PushButton5_Click(); }, 1);
        row(
            "delete last", 2, [](Window& w) { w.form->PushButton5_Click(); }, 1);
        row(
            "clear list", 1, [](Window& w) { w.form->PushButton6_Click(); }, -1);
        row(
            "typing in one box", 0, [](Window& w) { w.typeInto(w.box(Company), "Acme Inc"); }, 0);
        row(
            "typing in the notes", 2,
            [](Window& w) {
                w.typeInto(w.notes(), "two");
                QTest::keyClick(w.notes(), Qt::Key_Return);
                QTest::keyClicks(w.notes(), "lines");
            },
            2);
        row(
            "tick preferred", 1, [](Window& w) { w.find<QCheckBox>("Check1_4")->click(); }, 1);
        row(
            "e-mail +", 0,
            [](Window& w) {
                w.dialogs.inputAnswers << "new@example.org"
                                       << "HOME";
                w.form->PushButton3_Click();
            },
            0);
        row(
            "e-mail -", 0, [](Window& w) { w.form->PushButton9_Click(); }, 0);
        row(
            "add picture", 2,
            [](Window& w) { w.form->addPictureFile(w.writeFile("y.gif", yellowGif())); }, 2);
        row(
            "replace picture", 1,
            [](Window& w) {
                w.dialogs.fileAnswers.enqueue(w.writeFile("y.gif", yellowGif() + "more"));
                w.form->PushButton10_Click();
            },
            1);
        row(
            "delete picture", 1, [](Window& w) { w.form->PushButton11_Click(); }, 1);
        row(
            "remove kept line", 0,
            [](Window& w) {
                auto* lines = w.find<QListView>("ListView3");
                lines->setCurrentIndex(lines->model()->index(0, 0));
                w.form->PushButton13_Click();
            },
            0);
        // Doe again, by his address, with a line of his own; and Poe twice over.
        const QByteArray doeAgain =
            "BEGIN:VCARD\r\nN:Doe;John;F.\r\nEMAIL:J@DOE.example\r\nTEL;CELL:0170\r\n"
            "UID:second\r\nX-ALSO:two\r\nEND:VCARD\r\n";
        const QByteArray poe = "BEGIN:VCARD\r\nN:Poe;Ed\r\nEND:VCARD\r\n";
        row(
            "merge a group", 0,
            [](Window& w) {
                w.form->PushButton15_Click();
                DuplicatesWindow* window = w.form->duplicatesWindow();
                window->setAskMerge([](const std::vector<CardForm>& forms, const QStringList&,
                                       QWidget*) { return defaultMergeChoices(forms); });
                window->mergeGroup(0);
            },
            0, doeAgain + poe);
        row(
            "remove exact copies", 3,
            [](Window& w) {
                w.form->PushButton15_Click();
                w.form->duplicatesWindow()->removeExactCopies();
            },
            2, poe + poe);
    }
    void undoAndRedoEachCommand() {
        QFETCH(int, selected);
        QFETCH(Command, command);
        QFETCH(int, shownAfterRedo);
        QFETCH(QByteArray, more);
        Window w(more);
        w.select(selected);
        const ListState before = stateOf(w);
        command(w);
        ListState after = stateOf(w);
        QVERIFY2(!(after == before), "the command changed nothing");

        w.form->undo();
        QCOMPARE(stateOf(w), before);
        QCOMPARE(w.list()->currentIndex().row(), selected);
        w.form->redo();
        after.current = shownAfterRedo;
        QCOMPARE(stateOf(w), after);
        // The form shows the contact that redo selected.
        CollectingReporter reporter;
        const CardForm shown =
            shownAfterRedo < 0 ? CardForm()
                               : loadCardForm(w.form->contacts().at(shownAfterRedo).card, reporter);
        QCOMPARE(w.form->readForm().txtTextbox, shown.txtTextbox);
        w.form->undo();
        QCOMPARE(stateOf(w), before);
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // Typing in one box is one step until another box or contact is chosen; Ctrl+Z in a box
    // first takes back what was typed there, then the list's last step.
    void typingStepsAndTheBoxesOwnUndo() {
        Window w;
        w.activate();
        const ListState imported = stateOf(w);
        w.typeInto(w.box(Company), "Acme");
        const ListState acme = stateOf(w);
        w.typeInto(w.box(Title), "Bo");  // another box: a step of its own
        QTest::keyClicks(w.box(Title), "ss");
        QVERIFY(!(stateOf(w) == acme));
        QTest::keyClick(w.box(Title), Qt::Key_Z, Qt::ControlModifier);  // the box's own undo
        QCOMPARE(w.box(Title)->text(), QString());
        QCOMPARE(stateOf(w), acme);  // a step that ends where it began is no step
        QTest::keyClick(w.box(Title), Qt::Key_Z, Qt::ControlModifier);  // nothing left in the box
        QCOMPARE(stateOf(w), imported);
        QCOMPARE(w.box(Company)->text(), QString());
        QTest::keyClick(w.list(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(stateOf(w), acme);
        QCOMPARE(w.box(Company)->text(), QString("Acme"));
        QTest::keyClick(w.list(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(stateOf(w), acme);  // nothing left to redo
    }

    void newContactAndTheTitle() {
        Window w;
        w.activate();
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf"));
        w.form->openFindBar();
        w.find<QLineEdit>("FindText")->setText("Roe");
        QTest::keyClick(w.form.get(), Qt::Key_N, Qt::ControlModifier);
        // The new contact is shown and selected, though the find text would hide it.
        QCOMPARE(w.form->contacts().currentRow(), 3);
        QCOMPARE(w.list()->model()->rowCount(), 4);
        QCOMPARE(w.form->contacts().at(3).Text, QString("(no name)"));
        QCOMPARE(QApplication::focusWidget(), w.box(LastName));
        QCOMPARE(w.card(3), QString("BEGIN:VCARD\r\nVERSION:2.1\r\nN:;;;\r\nFN:  \r\n\r\n"
                                    "REV:20261207T093000\r\nEND:VCARD"));
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf *"));
        QTest::keyClicks(w.box(LastName), "Zed");
        QCOMPARE(w.form->contacts().at(3).Text, QString("Zed,"));
        w.form->undo();
        QCOMPARE(w.form->contacts().at(3).Text, QString("(no name)"));
        w.form->undo();  // back to the file as it was read: the mark goes
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf"));
        w.form->redo();
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf *"));

        const QString path = w.dir.filePath("saved.vcf");
        w.dialogs.fileAnswers.enqueue(path);
        w.form->PushButton1_Click();
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — saved.vcf"));
        w.form->undo();  // the saved file holds the new contact: now the list differs
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — saved.vcf *"));
        w.form->redo();
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — saved.vcf"));
    }
};

QTEST_MAIN(TestUndo)
#include "gui_undo.moc"
