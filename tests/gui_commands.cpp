#include "app/qtdialogs.h"
#include "support/savefailures.h"
#include "support/windowfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <memory>

using namespace pennacle;

Q_DECLARE_METATYPE(SaveFailure)

namespace {

const QString kDoe = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John;;;\r\nFN:John Doe\r\n"
    "EMAIL;INTERNET;PREF:john@doe.example\r\nEMAIL;WORK:jd@work.example\r\n"
    "TEL;WORK;VOICE:555-1\r\nNOTE:first\r\nsecond\r\nREV:20200101T000000Z\r\nEND:VCARD");
const QString kRoe = QStringLiteral("begin:vcard\nN:Roe;Jane\nTEL;CELL:777\nend:vcard");
const QString kPoe = QStringLiteral("BEGIN:VCARD\r\nN:Poe;Ed;A\r\nEND:VCARD");
const QString kRev = QStringLiteral("REV:20261207T093000");

// Two addresses and properties that the form does not hold.
const QString kTwoAddresses = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John;;;\r\nFN:John Doe\r\nNICKNAME:Jack\r\n"
    "EMAIL;INTERNET;PREF:john@doe.example\r\nEMAIL;WORK:jd@work.example\r\n"
    "TEL;ISDN:555-9\r\nREV:20200101T000000Z\r\nEND:VCARD");

// An open window.
struct Window : WindowFixture {
    Window() { open(); }
    // Saves all contacts to one ANSI file through "Save As VCF" and returns its bytes.
    QByteArray saved() {
        const QString path = dir.filePath("saved.vcf");
        QFile::remove(path);
        dialogs.fileAnswers.enqueue(path);
        form->PushButton1_Click();
        return readBytes(path);
    }
};

QString emailLinesOf(const QString& card) {
    QString lines;
    for (const QString& line : card.split("\r\n")) {
        if (line.startsWith("EMAIL;"))
            lines += line + "\r\n";
    }
    return lines;
}

// The work's progress window while it is open.
QDialog* openProgress() {
    return qobject_cast<QDialog*>(QApplication::activeModalWidget());
}

// Answers real message boxes as a user would: reads each one for a while, notes whether it
// stands on top (over any progress) and then presses Enter on it.
class BoxReader : public QObject {
public:
    struct Seen {
        QString text;
        bool onTop = false;         // the box takes the input, nothing was opened over it
        bool overProgress = false;  // a progress is open and the box stands over it
    };
    QList<Seen> seen;
    std::chrono::milliseconds firstReading{900};

    BoxReader() {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, &BoxReader::look);
        timer_.start();
    }

private:
    void look() {
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                box = b;
        }
        if (!box) {
            reading_ = nullptr;
            return;
        }
        if (box != reading_) {
            reading_ = box;
            clock_.start();
        }
        const auto readFor = seen.isEmpty() ? firstReading : std::chrono::milliseconds(50);
        if (clock_.elapsed() < readFor.count())
            return;
        QWidget* progress = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == "WorkProgress")
                progress = w;
        }
        seen << Seen{box->text(), QApplication::activeModalWidget() == box,
                     progress && box->parentWidget() == progress};
        reading_ = nullptr;
        QTest::keyClick(box, Qt::Key_Enter);
    }

    QTimer timer_;
    QElapsedTimer clock_;
    QPointer<QMessageBox> reading_;
};

// Real message boxes; the file and folder dialogs answer from the scripted queue.
class RealBoxes : public QtDialogs {
public:
    explicit RealBoxes(ScriptedDialogs& files) : files_(files) {}
    QString ShowOpen(const QString& title, const QString& filter, const QString& start) override {
        return files_.ShowOpen(title, filter, start);
    }
    QStringList ShowOpenFiles(const QString& title, const QString& filter,
                              const QString& start) override {
        return files_.ShowOpenFiles(title, filter, start);
    }
    QString ShowSave(const QString& title, const QString& filter, const QString& start) override {
        return files_.ShowSave(title, filter, start);
    }
    QString BrowseForFolder(const QString& prompt, const QString& start) override {
        return files_.BrowseForFolder(prompt, start);
    }

private:
    ScriptedDialogs& files_;
};

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void importIntoEmptyAndNonEmptyList() {
        Window w;
        w.import(kDoe + "\r\n\r\n" + kRoe);
        QCOMPARE(w.dialogs.callsOf("open"), QStringList({"Select VCF File|VCF files|*.vcf"}));
        QCOMPARE(w.names(), QStringList({"Doe, John", "Roe, Jane"}));
        QCOMPARE(w.form->contacts().currentRow(), 0);
        QCOMPARE(w.box(LastName)->text(), QString("Doe"));
        QCOMPARE(w.card(0), kDoe);  // loading never changes the card
        QCOMPARE(w.list()->currentIndex().row(), 0);
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf"));

        w.list()->setCurrentIndex(w.form->contacts().index(1, 0));  // the user picks Roe
        QCOMPARE(w.box(LastName)->text(), QString("Roe"));
        QCOMPARE(w.box(Cellular)->text(), QString("777"));
        QCOMPARE(w.card(1), kRoe);

        w.box(LastName)->setText("Changed");  // an unsaved edit on screen is replaced by the reload
        w.import(kPoe, "more.vcf");
        QCOMPARE(w.names(), QStringList({"Doe, John", "Changed, Jane", "Poe, Ed A"}));
        QCOMPARE(w.form->contacts().currentRow(), 1);
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — more.vcf *"));
        QCOMPARE(w.box(FirstName)->text(), QString("Jane"));
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    void cancelledOrUnreadableImport() {
        Window w;
        w.form->PushButton2_Click();  // no answer queued: cancelled
        QCOMPARE(w.form->contacts().count(), 0);
        QCOMPARE(w.dialogs.calls.size(), 1);

        w.dialogs.fileAnswers.enqueue(w.dir.filePath("missing.vcf"));
        w.form->PushButton2_Click();
        const QStringList warnings = w.dialogs.callsOf("warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings[0].contains("in Pennacle2021/08/31.Form1.PushButton2_Click at line "));
        QCOMPARE(w.form->contacts().count(), 0);
    }

    void oneKeystrokeRebuildsTheCard() {
        Window w;
        w.import(kPoe);
        w.typeInto(w.box(MiddleInitial), "Q");
        QCOMPARE(w.card(), "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Poe;Ed;AQ;\r\nFN:Ed AQ Poe\r\n\r\n" +
                               kRev + "\r\nEND:VCARD");
        QCOMPARE(w.names(), QStringList({"Poe, Ed AQ"}));  // the shown name follows
    }

    // A save names an edited contact as it now stands: in the ANSI question and in its file.
    // The form's own lines are ASCII: a line kept as it stands asks the question.
    void editedNameReachesTheSaves() {
        Window w;
        w.import(QStringLiteral("BEGIN:VCARD\r\nN:Poe;Ed;A\r\nNICKNAME:\u0141\r\nEND:VCARD"));
        w.typeInto(w.box(LastName), "");
        QTest::sendKeyEvent(QTest::Click, w.box(LastName), Qt::Key_unknown, "Ł", Qt::NoModifier);
        QTest::mouseClick(w.find<QRadioButton>("Option2"), Qt::LeftButton);
        const QString folder = w.dir.filePath("each");
        QDir().mkpath(folder);
        w.dialogs.fileAnswers.enqueue(folder);
        w.dialogs.yesNoCancelAnswers.enqueue(Dialogs::Answer::Yes);
        w.form->PushButton1_Click();
        QVERIFY(w.dialogs.callsOf("yesnocancel")
                    .value(0)
                    .startsWith("Pennacle|The contact \"PoeŁ, Ed A\" holds"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"PoeŁ, Ed A.vcf"}));
    }

    void preferredBoxAndBirthdayReachTheCardAtOnce() {
        Window w;
        w.import(kRoe);
        auto* homeVoice = w.form->findChild<QCheckBox*>("Check1_0");
        w.box(HomeVoice)->setText("123");  // a keystroke's worth of change
        QVERIFY(w.card().contains("TEL;HOME;VOICE:123\r\n"));
        homeVoice->setChecked(true);
        QVERIFY(w.card().contains("TEL;HOME;VOICE;PREF:123\r\n"));
        w.form->findChild<QDateEdit*>("dtpBirthday")->setDate(QDate(1980, 3, 5));
        QVERIFY(w.card().contains("BDAY:19800305\r\n"));
    }

    // The birthday box under keys: "no birthday" is an empty box that takes typed digits,
    // Delete empties it, and an early birthday outlives a keystroke elsewhere.
    void birthdayBoxUnderKeys_data() {
        QTest::addColumn<QString>("bday");     // the card's BDAY line, if any
        QTest::addColumn<QString>("keys");     // typed into the box; "~" stands for Delete
        QTest::addColumn<QString>("shown");    // once the focus has left the box
        QTest::addColumn<QString>("written");  // the card's BDAY line then, if any
        const QString none;
        QTest::newRow("no birthday: an empty box") << none << none << none << none;
        QTest::newRow("an early birthday kept") << "BDAY:1885-03-04" << none << "3/4/1885"
                                                << "BDAY:18850304";
        QTest::newRow("digits into the empty box") << none << "03041885"
                                                   << "3/4/1885"
                                                   << "BDAY:18850304";
        QTest::newRow("a separator after a full section") << none << "3/4/1604"
                                                          << "3/4/1604"
                                                          << "BDAY:16040304";
        QTest::newRow("Delete empties the box") << "BDAY:1604-02-03"
                                                << "~" << none << none;
        QTest::newRow("Delete while typing") << none << "3~" << none << none;
        QTest::newRow("a lone digit leaves no birthday") << none << "1" << none << none;
    }
    void birthdayBoxUnderKeys() {
        QFETCH(QString, bday);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, written);
        Window w;
        w.form->show();
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
        w.import("BEGIN:VCARD\r\nN:Roe;Jane\r\n" + bday + "\r\nEND:VCARD");
        auto* box = w.form->findChild<QDateEdit*>("dtpBirthday");
        QCOMPARE(box->minimumDate(), QDate(1601, 1, 1));
        box->setFocus();
        for (const QChar key : keys) {
            if (key == u'~')
                QTest::keyClick(box, Qt::Key_Delete);
            else
                QTest::keyClick(box, key.toLatin1());
        }
        // Typing elsewhere takes the focus away and rebuilds the card once more.
        w.typeInto(w.box(Title), "x");
        QCOMPARE(box->findChild<QLineEdit*>()->text(), shown);
        const QString bdayLine = w.card().section("\r\n", -4, -4);
        QCOMPARE(bdayLine.startsWith("BDAY:") ? bdayLine : QString(), written);
    }

    void notesKeepTheirLines() {
        Window w;
        w.import(kDoe);
        QCOMPARE(w.notes()->toPlainText(), QString("first\nsecond"));
        w.notes()->setPlainText("first\nsecond\n\nfourth = 4");
        QVERIFY(w.card().contains(
            "NOTE;QUOTED-PRINTABLE:first=0D=0Asecond=0D=0A=0D=0Afourth =3D 4\r\n"));
        // Picking the contact again shows the same note: nothing grows or is lost.
        w.form->LoadVCFData(w.card());
        QCOMPARE(w.notes()->toPlainText(), QString("first\nsecond\n\nfourth = 4"));
    }

    void addAndRemoveEmailAddresses() {
        Window w;
        w.form->PushButton3_Click();  // empty list: nothing is asked
        QVERIFY(w.dialogs.calls.isEmpty());

        w.import(kRoe);  // a contact without any address
        w.dialogs.calls.clear();
        w.form->PushButton3_Click();  // cancelled at the first prompt
        QCOMPARE(w.dialogs.callsOf("input"), QStringList({"Pennacle|Enter new email: "}));
        QCOMPARE(w.combo("Combo1")->count(), 0);
        w.dialogs.inputAnswers << "jane@roe.example" << std::nullopt;  // cancelled at the type
        w.form->PushButton3_Click();
        QCOMPARE(w.combo("Combo1")->count(), 0);
        QCOMPARE(w.card(), kRoe);

        w.dialogs.inputAnswers << "jane@roe.example"
                               << "";  // no type given
        w.form->PushButton3_Click();
        QCOMPARE(w.dialogs.callsOf("input").last(),
                 QString("Pennacle|Enter email type (Internet, Work, Home, etc): "));
        QCOMPARE(w.combo("Combo2")->itemText(0), QString("INTERNET"));
        QCOMPARE(w.box(HiddenEmail)->text(), QString("jane@roe.example"));
        QVERIFY(w.card().contains("\r\nEMAIL;INTERNET;PREF:jane@roe.example\r\n"));

        w.dialogs.inputAnswers << "j@work.example"
                               << "Work";
        w.form->PushButton3_Click();
        QVERIFY(w.card().contains(
            "EMAIL;INTERNET;PREF:jane@roe.example\r\nEMAIL;Work:j@work.example\r\n"));

        w.combo("Combo1")->setCurrentIndex(0);
        w.form->PushButton9_Click();
        QCOMPARE(w.combo("Combo1")->count(), 1);
        QCOMPARE(w.combo("Combo2")->itemText(0), QString("Work"));
        QCOMPARE(w.box(HiddenEmail)->text(), QString("j@work.example"));
        QVERIFY(!w.card().contains("jane@roe.example"));
        QVERIFY(w.card().contains("EMAIL;INTERNET;PREF:j@work.example\r\n"));

        w.combo("Combo1")->setCurrentIndex(0);
        w.form->PushButton9_Click();
        QCOMPARE(w.box(HiddenEmail)->text(), QString());
        QVERIFY(!w.card().contains("EMAIL"));

        w.form->PushButton9_Click();  // nothing selected: nothing happens
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // Looking at another address changes nothing; only an edit rebuilds the card.
    void pickingAnAddressKeepsTheCard_data() {
        QTest::addColumn<bool>("withKeys");
        QTest::newRow("arrow keys") << true;
        QTest::newRow("click in the list") << false;
    }
    void pickingAnAddressKeepsTheCard() {
        QFETCH(bool, withKeys);
        Window w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.import(kTwoAddresses);
        QComboBox* addresses = w.combo("Combo1");
        for (const int index : {1, 0, 1}) {
            if (withKeys) {
                addresses->lineEdit()->setFocus();
                QTest::keyClick(addresses->lineEdit(), index == 1 ? Qt::Key_Down : Qt::Key_Up);
            } else {
                addresses->showPopup();
                QAbstractItemView* list = addresses->view();
                QVERIFY(QTest::qWaitForWindowExposed(list->window()));
                QTest::qWait(QApplication::doubleClickInterval());
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualRect(list->model()->index(index, 0)).center());
            }
            QCOMPARE(addresses->currentIndex(), index);
            QCOMPARE(w.combo("Combo2")->currentIndex(), index);
        }
        QCOMPARE(w.card(), kTwoAddresses);
        QCOMPARE(w.saved(), kTwoAddresses.toUtf8() + "\r\n");
    }

    // What is typed in the e-mail boxes is what the card holds, at once and after picks.
    void typingInTheEmailBoxes_data() {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("pick");
        QTest::addColumn<QString>("emailLines");
        QTest::addColumn<QString>("holder");
        const QString twoLines = "EMAIL;INTERNET;PREF:%1\r\nEMAIL;%2:%3\r\n";
        QTest::newRow("second address, the one the holder holds")
            << kTwoAddresses << "Combo1" << 1
            << twoLines.arg("john@doe.example", "WORK", "new.jd@work.example")
            << "new.jd@work.example";
        QTest::newRow("first address")
            << kTwoAddresses << "Combo1" << 0
            << twoLines.arg("new.john@doe.example", "WORK", "jd@work.example") << "jd@work.example";
        QTest::newRow("type of the second address")
            << kTwoAddresses << "Combo2" << 1
            << twoLines.arg("john@doe.example", "new.WORK", "jd@work.example") << "jd@work.example";
        QTest::newRow("only address")
            << "BEGIN:VCARD\r\nN:Roe;Jane\r\nEMAIL:jane@roe.example\r\nEND:VCARD"
            << "Combo1" << 0 << "EMAIL;INTERNET;PREF:new.jane@roe.example\r\n"
            << "new.jane@roe.example";
        QTest::newRow("no address: nothing is added") << kRoe << "Combo1" << -1 << ""
                                                      << "";
    }
    void typingInTheEmailBoxes() {
        QFETCH(QString, card);
        QFETCH(QString, box);
        QFETCH(int, pick);
        QFETCH(QString, emailLines);
        QFETCH(QString, holder);
        Window w;
        w.import(card);
        QComboBox* addresses = w.combo("Combo1");
        addresses->setCurrentIndex(pick);
        // Typed at the start: every keystroke must leave the cursor where it was.
        QLineEdit* edit = w.combo(qPrintable(box))->lineEdit();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClicks(edit, "new.");
        QCOMPARE(w.box(HiddenEmail)->text(), holder);
        QVERIFY(w.card().contains(kRev));
        QCOMPARE(emailLinesOf(w.card()), emailLines);
        if (pick < 0) {
            QCOMPARE(addresses->count(), 0);
            return;
        }
        // Another pick and back shows the edit again; the card keeps it.
        const QString shown = edit->text();
        addresses->setCurrentIndex(1 - pick);
        addresses->setCurrentIndex(pick);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(emailLinesOf(w.card()), emailLines);
    }

    // The first failure of a save is reported on top, before any progress opens; then the user
    // is asked once whether to stop (Enter: Yes), and the end says what was saved.
    void saveFailuresAreReportedOnTop() {
        WindowFixture f;
        RealBoxes boxes(f.dialogs);
        f.open(boxes);
        boxes.setParentWidget(f.form.get());
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        f.import(kDoe + kRoe + kPoe);
        QTest::mouseClick(f.find<QRadioButton>("Option2"), Qt::LeftButton);
        f.dialogs.fileAnswers.enqueue(f.dir.filePath("no such folder"));
        BoxReader user;  // reads the first report longer than the progress waits
        f.form->PushButton1_Click();
        QCOMPARE(user.seen.size(), 3);
        QVERIFY2(user.seen[0].text.startsWith("Cannot write"), qPrintable(user.seen[0].text));
        QVERIFY(!user.seen[0].overProgress);
        QCOMPARE(user.seen[1].text, QString("Stop the save?"));
        QCOMPARE(user.seen[2].text, QString("Saved 0 of 3 contacts; 3 could not be saved.\n\n"
                                            "The first that failed:\nDoe, John"));
        for (const BoxReader::Seen& seen : user.seen)
            QVERIFY2(seen.onTop, qPrintable(seen.text));
    }

    // Escape or Cancel in the progress stops the work; a stopped save does not say "Done.".
    void stoppingLongWork_data() {
        QTest::addColumn<QString>("work");
        QTest::addColumn<bool>("escape");  // else the Cancel button
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("import, Escape") << "import" << true << QStringList() << QStringList();
        QTest::newRow("save to one file, Escape")
            << "Option1" << true << QStringList{"Pennacle|Save cancelled."} << QStringList();
        QTest::newRow("save each contact, Cancel")
            << "Option2" << false << QStringList{"Pennacle|Save cancelled."}
            << QStringList{"Doe, John.vcf"};
    }
    void stoppingLongWork() {
        QFETCH(QString, work);
        QFETCH(bool, escape);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, files);
        Window w;
        w.import(kDoe + kRoe + kPoe);
        w.form->setProgressDelay(std::chrono::milliseconds(0));
        w.dialogs.calls.clear();
        bool progressSeen = false;
        // The user acts as soon as the progress opens.
        const auto armUser = [&] {
            QTimer::singleShot(0, [&] {
                QDialog* progress = openProgress();
                progressSeen = progress && progress->objectName() == "WorkProgress";
                if (!progressSeen)
                    return;
                if (escape) {
                    QTest::keyClick(progress, Qt::Key_Escape);
                } else {
                    QTest::mouseClick(progress->findChild<QDialogButtonBox*>()->buttons().first(),
                                      Qt::LeftButton);
                }
            });
        };
        const QString folder = w.dir.filePath("out");
        QDir().mkpath(folder);
        if (work == "import") {
            // The scan reports its progress every few thousand cards.
            QString many;
            for (int i = 0; i < 5000; ++i)
                many += kPoe + "\r\n";
            armUser();
            w.import(many, "many.vcf");
        } else {
            QTest::mouseClick(w.find<QRadioButton>(work), Qt::LeftButton);
            w.dialogs.fileAnswers.enqueue(work == "Option1" ? folder + "/all.vcf" : folder);
            armUser();
            w.form->PushButton1_Click();
        }
        QVERIFY(progressSeen);
        QCOMPARE(w.dialogs.callsOf("message"), messages);
        QCOMPARE(w.names().size(), 3);
        QCOMPARE(QDir(folder).entryList(QDir::Files), files);
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // Before ANSI would write characters as "?", the user chooses: UTF-8, ANSI anyway, or no
    // save.
    void lossyAnsiSaveAsksFirst_data() {
        QTest::addColumn<QString>("cards");
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");  // its beginning; empty: nothing is asked
        QTest::addColumn<QByteArray>("file");
        const QString fits = QString::fromUtf8("BEGIN:VCARD\r\nN:Zoë;Ann\r\nNOTE:5 €\r\nEND:VCARD");
        const QString polish = QString::fromUtf8("BEGIN:VCARD\r\nN:Łukasz;A\r\nEND:VCARD");
        const QString emoji = QString::fromUtf8("BEGIN:VCARD\r\nN:Ng;B\r\nNOTE:😀\r\nEND:VCARD");
        const int yes = int(Dialogs::Answer::Yes);
        const int no = int(Dialogs::Answer::No);
        const int cancel = int(Dialogs::Answer::Cancel);
        QTest::newRow("nothing to replace") << fits << "Option5" << cancel << ""
                                            << QByteArray(
                                                   "BEGIN:VCARD\r\nN:Zo\xeb;Ann\r\n"
                                                   "NOTE:5 \x80\r\nEND:VCARD\r\n");
        QTest::newRow("Yes saves UTF-8")
            << fits + "\r\n" + polish + "\r\n" + emoji << "Option5" << yes
            << QString::fromUtf8(
                   "2 contacts, the first of them \"Łukasz, A\", hold characters that ANSI "
                   "(Windows-1252) cannot store; saved as ANSI, each of them becomes \"?\".\r\r"
                   "Save as UTF-8 instead?\r\rYes: save as UTF-8.\rNo: save as ANSI anyway.\r"
                   "Cancel: do not save.")
            << QByteArray("\xef\xbb\xbf") + (fits + "\r\n" + polish + "\r\n" + emoji).toUtf8() +
                   "\r\n";
        QTest::newRow("No saves ANSI anyway")
            << emoji << "Option5" << no << "The contact \"Ng, B\" holds characters"
            << QByteArray("BEGIN:VCARD\r\nN:Ng;B\r\nNOTE:?\r\nEND:VCARD\r\n");
        QTest::newRow("Cancel saves nothing")
            << emoji << "Option5" << cancel << "The contact \"Ng, B\" holds" << QByteArray();
        QTest::newRow("UTF-8 chosen") << emoji << "Option6" << cancel << ""
                                      << QByteArray("\xef\xbb\xbf") + emoji.toUtf8() + "\r\n";
    }
    void lossyAnsiSaveAsksFirst() {
        QFETCH(QString, cards);
        QFETCH(QString, option);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(QByteArray, file);
        Window w;
        w.import(cards);
        QTest::mouseClick(w.find<QRadioButton>(option), Qt::LeftButton);
        w.dialogs.calls.clear();
        w.dialogs.yesNoCancelAnswers.enqueue(Dialogs::Answer(answer));
        const QByteArray saved = w.saved();
        const QStringList asked = w.dialogs.callsOf("yesnocancel");
        QCOMPARE(asked.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty())
            QVERIFY2(asked[0].startsWith("Pennacle|" + question), qPrintable(asked[0]));
        QCOMPARE(saved, file.isEmpty() ? QByteArray("<missing>") : file);
        QCOMPARE(w.dialogs.callsOf("message"),
                 file.isEmpty() ? QStringList() : QStringList{"Pennacle|Done."});
        QCOMPARE(w.find<QRadioButton>(option)->isChecked(), true);  // the choice stays
    }

    // An import that finds nothing says so; a file that cannot be read is reported by name.
    void importFeedback_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");  // "<missing>": no such file
        QTest::addColumn<QString>("expected");
        const QString none = "message|Pennacle|No contacts were found in \"%1\".";
        QTest::newRow("empty file") << "empty.vcf" << QByteArray() << none.arg("empty.vcf");
        QTest::newRow("no card") << "notes.vcf" << QByteArray("BEGIN:VCARD\r\nN:Doe;John\r\n")
                                 << none.arg("notes.vcf");
        QTest::newRow("binary") << "photo.jpg"
                                << QByteArray::fromHex("ffd8ffe000104a46494600010100ffd9")
                                << none.arg("photo.jpg");
        QTest::newRow("card holding nothing")
            << "x.vcf" << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:;;;\nFN:\nEND:VCARD")
            << none.arg("x.vcf");
        QTest::newRow("missing file") << "gone.vcf" << QByteArray("<missing>")
                                      << "warning|Application Error|Cannot read \"PATH\": ";
    }
    void importFeedback() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        Window w;
        const QString path = bytes == "<missing>" ? w.dir.filePath(name) : w.writeFile(name, bytes);
        w.dialogs.fileAnswers.enqueue(path);
        w.form->PushButton2_Click();
        w.dialogs.calls.removeFirst();  // the open dialog
        QCOMPARE(w.dialogs.calls.size(), 1);
        QVERIFY2(
            w.dialogs.calls[0].startsWith(expected.replace("PATH", QDir::toNativeSeparators(path))),
            qPrintable(w.dialogs.calls[0]));
        QCOMPARE(w.form->contacts().count(), 0);
    }

    void deleteAndClear() {
        Window w;
        QPushButton* addPicture = w.find<QPushButton>("PushButton12");
        QVERIFY(!w.box(LastName)->isEnabled() && !addPicture->isEnabled());  // nothing to edit
        w.import(kDoe + kRoe + kPoe);
        QVERIFY(w.box(LastName)->isEnabled() && addPicture->isEnabled());
        w.list()->setCurrentIndex(w.form->contacts().index(1, 0));
        QTest::keyClick(w.list(), Qt::Key_Delete);
        QCOMPARE(w.names(), QStringList({"Doe, John", "Poe, Ed A"}));
        QCOMPARE(w.form->contacts().currentRow(), 1);  // the row that took its place
        QCOMPARE(w.box(LastName)->text(), QString("Poe"));

        w.form->PushButton5_Click();  // the last row: the new last row is current
        QCOMPARE(w.form->contacts().currentRow(), 0);
        QCOMPARE(w.box(LastName)->text(), QString("Doe"));

        w.form->PushButton5_Click();  // the only contact: the form is emptied
        QCOMPARE(w.form->contacts().count(), 0);
        QCOMPARE(w.box(LastName)->text(), QString());
        QCOMPARE(w.combo("Combo1")->count(), 0);
        w.form->PushButton5_Click();
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf *"));

        w.import(kDoe);  // into the empty list: nothing unsaved
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — cards.vcf"));
        w.form->PushButton6_Click();
        QCOMPARE(w.form->contacts().count(), 0);
        QCOMPARE(w.notes()->toPlainText(), QString());
        w.typeInto(w.box(LastName), "x");  // typing afterwards changes nothing and reports nothing
        QCOMPARE(w.box(LastName)->text(), QString());
        QVERIFY(!addPicture->isEnabled());
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    // "Write cards": every card in the chosen version, in UTF-8 whatever the encoding option
    // says (which is then greyed), remembered for the next start.
    void savesEveryCardInTheChosenVersion() {
        Window w;
        w.import(kDoe + "\r\n" + kPoe);
        auto* version = w.combo("Combo3");
        QCOMPARE(version->currentText(), QString("as read"));
        version->setCurrentIndex(2);
        QVERIFY(!w.find<QRadioButton>("Option5")->isEnabled() && w.checked("Option5"));
        const QByteArray saved = w.saved();
        QVERIFY2(saved.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"), saved.constData());
        QCOMPARE(saved.count("VERSION:4.0"), 2);
        QVERIFY(w.dialogs.callsOf("yesnocancel").isEmpty());  // no question about ANSI
        QCOMPARE(w.stored("Combo3"), QString("2"));
        w.open();
        QCOMPARE(w.combo("Combo3")->currentIndex(), 2);
        w.combo("Combo3")->setCurrentIndex(0);
        QVERIFY(w.find<QRadioButton>("Option5")->isEnabled());
    }

    void saveLayoutsAndEncodings() {
        Window w;
        w.form->PushButton1_Click();  // empty list: no dialog, no message
        QVERIFY(w.dialogs.calls.isEmpty());

        w.import(QStringLiteral("BEGIN:VCARD\r\nN:Zoë;A/B: C?\r\nEND:VCARD\r\n") + kPoe);
        w.dialogs.calls.clear();
        w.form->PushButton1_Click();  // cancelled save dialog
        QCOMPARE(w.dialogs.calls,
                 QStringList({"save|Select As ANSI|vCard file|*.vcf|All Files|*"}));

        const QString ansiPath = w.dir.filePath("all-ansi.vcf");
        w.dialogs.fileAnswers.enqueue(ansiPath);
        w.form->PushButton1_Click();
        QCOMPARE(w.dialogs.callsOf("message"), QStringList({"Pennacle|Done."}));
        QCOMPARE(readBytes(ansiPath), QByteArray("BEGIN:VCARD\r\nN:Zo\xeb;A/B: C?\r\nEND:VCARD\r\n"
                                                 "BEGIN:VCARD\r\nN:Poe;Ed;A\r\nEND:VCARD\r\n"));
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — all-ansi.vcf"));

        QTest::mouseClick(w.form->findChild<QRadioButton*>("Option6"), Qt::LeftButton);
        const QString utf8Path = w.dir.filePath("all-utf8");  // no extension is added
        w.dialogs.fileAnswers.enqueue(utf8Path);
        w.form->PushButton1_Click();
        QCOMPARE(readBytes(utf8Path),
                 QByteArray("\xef\xbb\xbf"
                            "BEGIN:VCARD\r\nN:Zo\xc3\xab;A/B: C?\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nN:Poe;Ed;A\r\nEND:VCARD\r\n"));

        QTest::mouseClick(w.form->findChild<QRadioButton*>("Option2"), Qt::LeftButton);
        QSettings(w.dir.filePath("settings.ini"), QSettings::IniFormat)
            .setValue("Pennacle Suite/LastFolder", w.dir.path());
        w.dialogs.calls.clear();
        w.form->PushButton1_Click();  // cancelled folder picker
        QCOMPARE(w.dialogs.calls, QStringList({"folder|Please select folder:|" + w.dir.path()}));

        const QString folder = w.dir.filePath("each");
        QDir().mkpath(folder);
        w.dialogs.fileAnswers.enqueue(folder);
        w.form->PushButton1_Click();
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
                 QStringList({"Poe, Ed A.vcf", "Zoë, AB.vcf"}));
        QCOMPARE(readBytes(folder + "/Poe, Ed A.vcf"),
                 QByteArray("\xef\xbb\xbf"
                            "BEGIN:VCARD\r\nN:Poe;Ed;A\r\nEND:VCARD\r\n"));
        QCOMPARE(w.dialogs.callsOf("message"), QStringList({"Pennacle|Done."}));
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
        QCOMPARE(w.form->windowTitle(), QString("Pennacle Suite — each"));
    }

    void saveFailuresAreReportedAndTheLoopGoesOn_data() {
        QTest::addColumn<SaveFailure>("failure");
        QTest::addColumn<QString>("firstCard");
        QTest::addColumn<QStringList>("failing");  // the contacts whose files fail, in order
        QTest::addColumn<bool>("smallWritten");
        QTest::newRow("full disk")
            << SaveFailure::FullDisk
            << "BEGIN:VCARD\r\nN:;Big\r\nNOTE:" + QString(200000, u'b') + "\r\nEND:VCARD"
            << QStringList{"Big"} << true;
        QTest::newRow("folder without write permission")
            << SaveFailure::ReadOnlyFolder << "BEGIN:VCARD\r\nN:;Big\r\nEND:VCARD"
            << QStringList{"Big", "Small"} << false;
        QTest::newRow("a name the file system rejects")
            << SaveFailure::NameTooLong << "BEGIN:VCARD\r\nN:;" + kRejectedName + "\r\nEND:VCARD"
            << QStringList{kRejectedName} << true;
    }

    // The first failing file is reported and the user asked once whether to stop; going on, the
    // others are written, a file that was there stays, and the end says what was not saved.
    void saveFailuresAreReportedAndTheLoopGoesOn() {
        QFETCH(SaveFailure, failure);
        QFETCH(QString, firstCard);
        QFETCH(QStringList, failing);
        QFETCH(bool, smallWritten);
        Window w;
        const QString small = "BEGIN:VCARD\r\nN:;Small\r\nEND:VCARD";
        w.import(firstCard + "\r\n" + small + "\r\n");
        QTest::mouseClick(w.form->findChild<QRadioButton*>("Option2"), Qt::LeftButton);
        const QString folder = w.dir.filePath("out");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(openToOthers(w.dir.path()));
        writeBytes(folder + "/Big.vcf", "earlier");
        w.dialogs.calls.clear();
        w.dialogs.fileAnswers.enqueue(folder);
        {
            const SaveFailureScope scope(failure, folder);
            if (!scope.ok())
                QSKIP("an ordinary user is needed for this and cannot be switched to");
            w.form->PushButton1_Click();
        }
        const QStringList warnings = w.dialogs.callsOf("warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY(warnings[0].startsWith("Application Error|"));
        QVERIFY(warnings[0].contains(failingSaveStep(failure)));
        QVERIFY(warnings[0].contains(failing[0] + ".vcf"));
        QCOMPARE(w.dialogs.callsOf("yesno"), QStringList{"Pennacle|Stop the save?"});
        QCOMPARE(w.dialogs.calls.last(),
                 QString("message|Pennacle|Saved %1 of 2 contacts; %2 could not be saved.\r\r"
                         "The first that failed:\r")
                         .arg(2 - failing.size())
                         .arg(failing.size()) +
                     failing.join("\r"));
        QMap<QString, QByteArray> expected{{"Big.vcf", "earlier"}};
        if (smallWritten)
            expected["Small.vcf"] = small.toLatin1() + "\r\n";
        QCOMPARE(filesIn(folder), expected);
    }

    // A folder that takes no file fails every contact: one report, one question, and the save
    // ends at once either way; a failed one-file save says so too.
    void saveIntoAFolderThatTakesNoFile_data() {
        QTest::addColumn<bool>("oneFile");
        QTest::addColumn<bool>("stop");  // the answer to "Stop the save?"
        QTest::addColumn<QString>("message");
        const QString none = "Saved 0 of 2000 contacts; 2000 could not be saved.";
        const QString each = none + "\r\rThe first that failed:\rC0000";
        QTest::newRow("one file") << true << false << none;
        QTest::newRow("each contact, stopped") << false << true << each;
        QTest::newRow("each contact, going on")
            << false << false << each + "\rC0001\rC0002\rC0003\rC0004";
    }
    void saveIntoAFolderThatTakesNoFile() {
        QFETCH(bool, oneFile);
        QFETCH(bool, stop);
        QFETCH(QString, message);
        Window w;
        QString cards;
        for (int i = 0; i < 2000; ++i)
            cards += QString("BEGIN:VCARD\r\nN:;C%1\r\nEND:VCARD\r\n").arg(i, 4, 10, QChar('0'));
        w.import(cards);
        QTest::mouseClick(w.find<QRadioButton>(oneFile ? "Option1" : "Option2"), Qt::LeftButton);
        const QString folder = w.dir.filePath("out");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(openToOthers(w.dir.path()));
        w.dialogs.calls.clear();
        w.dialogs.fileAnswers.enqueue(oneFile ? folder + "/all.vcf" : folder);
        w.dialogs.yesNoAnswers.enqueue(stop);
        QElapsedTimer clock;
        {
            const SaveFailureScope scope(SaveFailure::ReadOnlyFolder, folder);
            if (!scope.ok())
                QSKIP("an ordinary user is needed for this and cannot be switched to");
            clock.start();
            w.form->PushButton1_Click();
        }
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(w.dialogs.callsOf("warning").size(), 1);
        QCOMPARE(w.dialogs.callsOf("yesno").size(), oneFile ? 0 : 1);
        QCOMPARE(w.dialogs.callsOf("message"), QStringList{"Pennacle|" + message});
        QVERIFY(filesIn(folder).isEmpty());
    }

    // The one-file save's dialog asks before it names a file that exists.
    void saveDialogAsksBeforeReplacing() {
        QtDialogs dialogs;
        bool asks = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            dialog->reject();
        });
        QCOMPARE(dialogs.ShowSave("Select As ANSI", "vCard file|*.vcf", QString()), QString());
        QVERIFY(asks);
    }

    // Closing asks only about unsaved changes, and Save closes only once everything is saved.
    void closingAsksAboutUnsavedChanges_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<Dialogs::SaveChoice>("choice");
        QTest::addColumn<QString>("saveTo");  // the save dialog's answer after Save
        QTest::addColumn<bool>("closed");
        using Choice = Dialogs::SaveChoice;
        QTest::newRow("nothing changed") << false << Choice::Cancel << "" << true;
        QTest::newRow("Discard") << true << Choice::Discard << "" << true;
        QTest::newRow("Cancel") << true << Choice::Cancel << "" << false;
        QTest::newRow("Save") << true << Choice::Save << "saved.vcf" << true;
        QTest::newRow("Save fails") << true << Choice::Save << "missing/saved.vcf" << false;
    }
    void closingAsksAboutUnsavedChanges() {
        QFETCH(bool, edited);
        QFETCH(Dialogs::SaveChoice, choice);
        QFETCH(QString, saveTo);
        QFETCH(bool, closed);
        Window w;
        w.import(kPoe);
        if (edited)
            w.typeInto(w.box(Company), "x");
        w.dialogs.saveChoices.enqueue(choice);
        if (!saveTo.isEmpty())
            w.dialogs.fileAnswers.enqueue(w.dir.filePath(saveTo));
        QCOMPARE(w.form->close(), closed);
        QCOMPARE(w.dialogs.callsOf("savechanges"),
                 edited ? QStringList{"Pennacle|Save changes to the contact list before closing?"}
                        : QStringList{});
        QCOMPARE(readBytes(w.dir.filePath("saved.vcf")).contains("ORG:x"), saveTo == "saved.vcf");
    }

    void filesFromCommandLineOrDrop() {
        Window w;
        const QString first = w.writeFile("a.vcf", kDoe.toUtf8());
        const QString second = w.writeFile("b.vcf", kRoe.toUtf8());
        w.form->importFiles({first, second});
        QCOMPARE(w.names(), QStringList({"Doe, John", "Roe, Jane"}));

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(second)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(w.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.form.get(), &drop);
        QCOMPARE(w.names().size(), 3);
    }

    void pickingAndTypingKeepALargePhoto() {
        Window w;
        QString photo;
        photo.reserve(140000);
        for (int i = 0; i < 136000 / 64; ++i) {
            photo += "  " + QString(64, QLatin1Char('A' + i % 26)) + "\r\n";
        }
        const QString card =
            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Big;Photo\r\n"
            "PHOTO;TYPE=JPEG;ENCODING=BASE64:\r\n" +
            photo + "  AA==\r\n\r\nEND:VCARD";
        w.import(card + "\r\n" + kPoe);
        constexpr int kRounds = 4;
        for (int i = 0; i < kRounds; ++i) {
            w.list()->setCurrentIndex(w.form->contacts().index(1 - i % 2 == 0 ? 0 : 1, 0));
            w.list()->setCurrentIndex(w.form->contacts().index(0, 0));
            w.box(MiddleInitial)->setText(QString::number(i));
        }
        // How fast this is, bench_window measures; here, that the photo survives the edits.
        QVERIFY(w.card(0).contains("PHOTO;TYPE=JPEG;ENCODING=BASE64:"));
    }
};

QTEST_MAIN(TestCommands)
#include "gui_commands.moc"
