#include "support/windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace pennacle;

namespace {

const QString kDoe = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John;;;\r\nFN:John Doe\r\n"
    "EMAIL;INTERNET;PREF:john@doe.example\r\nEMAIL;WORK:jd@work.example\r\n"
    "TEL;WORK;VOICE:555-1\r\nNOTE:first\r\nsecond\r\nREV:20200101T000000Z\r\nEND:VCARD");
const QString kRoe = QStringLiteral("begin:vcard\nN:Roe;Jane\nTEL;CELL:777\nend:vcard");
const QString kPoe = QStringLiteral("BEGIN:VCARD\r\nN:Poe;Ed;A\r\nEND:VCARD");
const QString kRev = QStringLiteral("REV:20261207T093000");

// An open window.
struct Window : WindowFixture {
    Window() { open(); }
};

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void importIntoEmptyAndNonEmptyList() {
        Window w;
        w.import(kDoe + "\r\n\r\n" + kRoe);
        QCOMPARE(w.dialogs.callsOf("open"),
                 QStringList({"Select VCF File|VCF files(*.vcf)|*.vcf"}));
        QCOMPARE(w.names(), QStringList({"Doe, John", "Roe, Jane"}));
        QCOMPARE(w.form->contacts().currentRow(), 0);
        QCOMPARE(w.box(LastName)->text(), QString("Doe"));
        QCOMPARE(w.card(0), kDoe);  // loading never changes the card
        QCOMPARE(w.list()->currentIndex().row(), 0);

        w.list()->setCurrentIndex(w.form->contacts().index(1, 0));  // the user picks Roe
        QCOMPARE(w.box(LastName)->text(), QString("Roe"));
        QCOMPARE(w.box(Cellular)->text(), QString("777"));
        QCOMPARE(w.card(1), kRoe);

        w.box(LastName)->setText("Changed");  // an unsaved edit on screen is replaced by the reload
        w.import(kPoe, "more.vcf");
        QCOMPARE(w.names(), QStringList({"Doe, John", "Roe, Jane", "Poe, Ed A"}));
        QCOMPARE(w.form->contacts().currentRow(), 1);
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
        QCOMPARE(w.names(), QStringList({"Poe, Ed A"}));  // the shown name never changes
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

    void deleteAndClear() {
        Window w;
        w.import(kDoe + kRoe + kPoe);
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

        w.import(kDoe);
        w.form->PushButton6_Click();
        QCOMPARE(w.form->contacts().count(), 0);
        QCOMPARE(w.notes()->toPlainText(), QString());
        w.typeInto(w.box(LastName), "x");  // typing afterwards changes nothing and reports nothing
        QVERIFY(w.dialogs.callsOf("warning").isEmpty());
    }

    void saveLayoutsAndEncodings() {
        Window w;
        w.form->PushButton1_Click();  // empty list: no dialog, no message
        QVERIFY(w.dialogs.calls.isEmpty());

        w.import(QStringLiteral("BEGIN:VCARD\r\nN:Zoë;A/B: C?\r\nEND:VCARD\r\n") + kPoe);
        w.dialogs.calls.clear();
        w.form->PushButton1_Click();  // cancelled save dialog
        QCOMPARE(w.dialogs.calls,
                 QStringList({"save|Select As ANSI|vCard file(*.vcf)|*.vcf|All Files(*.*|*.*"}));

        const QString ansiPath = w.dir.filePath("all-ansi.vcf");
        w.dialogs.fileAnswers.enqueue(ansiPath);
        w.form->PushButton1_Click();
        QCOMPARE(w.dialogs.callsOf("message"), QStringList({"Pennacle|Done."}));
        QCOMPARE(readBytes(ansiPath), QByteArray("BEGIN:VCARD\r\nN:Zo\xeb;A/B: C?\r\nEND:VCARD\r\n"
                                                 "BEGIN:VCARD\r\nN:Poe;Ed;A\r\nEND:VCARD\r\n"));

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
