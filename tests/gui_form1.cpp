#include "support/windowfixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <QScrollBar>

#include <cmath>
#include <memory>

using namespace pennacle;

namespace {

using Fixture = WindowFixture;

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// As the web's accessibility guidelines measure it: 1 (none) to 21 (black on white).
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What lies behind a widget that paints no background of its own.
QColor backgroundBehind(const QWidget* widget) {
    while (widget->parentWidget() && !widget->autoFillBackground())
        widget = widget->parentWidget();
    return widget->palette().color(QPalette::Window);
}

QPalette darkPalette() {
    QPalette dark;
    for (const auto& [role, color] : {std::pair{QPalette::Window, QColor(0x2b, 0x2b, 0x2b)},
                                      {QPalette::WindowText, Qt::white},
                                      {QPalette::Base, QColor(0x1e, 0x1e, 0x1e)},
                                      {QPalette::Text, Qt::white},
                                      {QPalette::Button, QColor(0x3c, 0x3c, 0x3c)},
                                      {QPalette::ButtonText, Qt::white}}) {
        dark.setColor(role, color);
    }
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9a, 0x9a, 0x9a));
    return dark;
}

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void windowFrame() {
        Fixture f;
        Form1& form = f.open();
        QCOMPARE(form.windowTitle(), QString("Pennacle Suite"));
        QCOMPARE(form.applicationTitle(), QString("Pennacle"));
        QCOMPARE(form.size(), QSize(1208, 557));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.font().family(), QString("Arial"));
        QVERIFY(form.font().bold());
        QCOMPARE(f.find<QPushButton>("PushButton1")->font().pointSizeF(), 11.25);
        QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
    }

    void controlsWithCaptions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("place");  // null: not pinned
        const QStringList buttons = {"Save As VCF",
                                     "Add Contact(s) From 1 VCF File",
                                     "+",
                                     "Help",
                                     "Delete Selected Contact",
                                     "Clear List",
                                     "Load Sample/Example Files",
                                     "?",
                                     "-",
                                     "Replace Picture",
                                     "Delete Picture",
                                     "Add Picture"};
        for (int i = 0; i < buttons.size(); ++i) {
            const QString name = QStringLiteral("PushButton%1").arg(i + 1);
            QTest::newRow(qPrintable(name)) << name << buttons[i] << QRect();
        }
        QTest::newRow("Help place") << "PushButton4"
                                    << "Help" << QRect(8, 8, 520, 27);
        QTest::newRow("Save place") << "PushButton1"
                                    << "Save As VCF" << QRect(8, 520, 520, 27);
        QTest::newRow("? place, inside its frame's border") << "PushButton8"
                                                            << "?" << QRect(464, 20, 40, 21);
        QTest::newRow("Option1") << "Option1"
                                 << "Save all contacts to one VCF" << QRect(16, 20, 201, 17);
        QTest::newRow("Option2") << "Option2"
                                 << "Save each contact to separate VCF" << QRect();
        QTest::newRow("Option5") << "Option5"
                                 << "Save As ANSI" << QRect(16, 20, 121, 17);
        QTest::newRow("Option6") << "Option6"
                                 << "Save As UTF8" << QRect();
        QTest::newRow("Frame1") << "Frame1"
                                << "Personal Information" << QRect();
        QTest::newRow("Frame2") << "Frame2"
                                << "Home Address Information" << QRect();
        QTest::newRow("Frame3") << "Frame3"
                                << "Work Address Information" << QRect();
        QTest::newRow("Frame4") << "Frame4"
                                << "Contact Information" << QRect();
        QTest::newRow("Frame6") << "Frame6"
                                << "Option" << QRect(8, 410, 520, 49);
        QTest::newRow("Frame7") << "Frame7"
                                << "Save Option" << QRect(8, 464, 520, 47);
    }
    void controlsWithCaptions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, place);
        Fixture f;
        f.open();
        QWidget* widget = f.find<QWidget>(name);
        QVERIFY(widget);
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            text = frame->title();
        QCOMPARE(text, caption);
        if (!place.isNull())
            QCOMPARE(widget->geometry(), place);
    }

    void formFieldsAndLabels() {
        Fixture f;
        f.open();
        for (int i = 0; i < 24; ++i) {
            QVERIFY2(f.find<QLineEdit>(QStringLiteral("txtTextbox_%1").arg(i)),
                     qPrintable(QString::number(i)));
        }
        QVERIFY(f.find<QPlainTextEdit>("txtTextbox_24"));
        for (int i = 0; i < 6; ++i) {
            auto* check = f.find<QCheckBox>(QStringLiteral("Check1_%1").arg(i));
            QVERIFY(check);
            QVERIFY(check->text().isEmpty());
            QCOMPARE(check->parentWidget()->objectName(), QString("Frame4"));
        }
        QVERIFY(f.find<QComboBox>("Combo1")->isEditable());
        QVERIFY(f.find<QComboBox>("Combo2")->isEditable());
        QCOMPARE(f.find<QDateEdit>("dtpBirthday")->date(), QDate(1900, 1, 1));
        QVERIFY(f.find<QLabel>("Picture1"));

        QStringList captions;
        for (QLabel* label : f.form->findChildren<QLabel*>()) {
            if (label->objectName().startsWith("Label1_"))
                captions << QString(label->text()).remove('&');
        }
        for (const char* expected :
             {"Last Name:", "First Name:",  "MI:",           "Company:",      "Title:",
              "Birthday:",  "Email:",       "Website Home:", "Website Work:", "Home Address:",
              "Home City:", "Home Region:", "Home Zip:",     "Home Country:", "Work Address:",
              "Work City:", "Work Region:", "Work Zip:",     "Work Country:", "Home Voice:",
              "Home Fax:",  "Work Voice:",  "Work Fax:",     "Cellular:",     "Pager:"}) {
            QVERIFY2(captions.contains(QLatin1String(expected)), expected);
        }
        QCOMPARE(captions.size(), 25);

        // The e-mail holder sits inside Frame1 but below what the frame shows.
        auto* holder = f.find<QLineEdit>("txtTextbox_5");
        QCOMPARE(holder->parentWidget()->objectName(), QString("Frame1"));
        QVERIFY(holder->geometry().top() >= holder->parentWidget()->height());
    }

    void layoutHasNoOverlapsOrClipping() {
        Fixture f;
        Form1& form = f.open();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* tabs = f.find<QTabWidget>("TabControl1");
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            QWidget* pageWidget = tabs->widget(page);
            for (QGroupBox* frame : pageWidget->findChildren<QGroupBox*>()) {
                QVERIFY2(pageWidget->rect().contains(frame->geometry()),
                         qPrintable(frame->objectName()));
            }
        }
        for (QGroupBox* frame : form.findChildren<QGroupBox*>()) {
            QList<QRect> seen;
            for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->objectName() == "txtTextbox_5" || child->objectName().isEmpty()) {
                    continue;
                }
                const QRect r = child->geometry();
                QVERIFY2(frame->rect().contains(r), qPrintable(child->objectName()));
                // The option pair was designed one twip apart, which rounds to a pixel.
                for (const QRect& other : seen) {
                    QVERIFY2(other.intersected(r).width() <= 1, qPrintable(child->objectName()));
                }
                seen << r;
            }
        }
        for (QLabel* label : form.findChildren<QLabel*>()) {
            if (!label->objectName().startsWith("Label1_"))
                continue;
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        }
    }

    void contactListColumns() {
        Fixture f;
        Form1& form = f.open();
        auto* list = f.find<QTreeView>("ListView1");
        QCOMPARE(list->model(), &form.contacts());
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QString("Name"));
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QString("VCF Data"));
        QCOMPARE(list->columnWidth(0), 467);
        QVERIFY(list->isColumnHidden(1));
        auto* photos = f.find<QTreeView>("ListView2");
        QCOMPARE(photos->model()->headerData(0, Qt::Horizontal).toString(), QString("Photo"));
        QCOMPARE(photos->columnWidth(0), 300);
        QVERIFY(photos->isColumnHidden(1) && photos->isColumnHidden(2));
        QCOMPARE(f.find<QTabWidget>("TabControl1")->tabText(2), QString("Photos"));
    }

    void freshStoreDefaults() {
        Fixture f;
        f.open();
        QCOMPARE(f.find<QTabWidget>("TabControl1")->currentIndex(), 0);
        QVERIFY(f.checked("Option1") && !f.checked("Option2"));
        QVERIFY(f.checked("Option5") && !f.checked("Option6"));
        QVERIFY(f.dialogs.calls.isEmpty());
        // The design state already matches the defaults: nothing is clicked, nothing written
        // but the first-start record, empty as the program folder holds no samples.
        QSettings raw(f.settingsPath(), QSettings::IniFormat);
        QCOMPARE(raw.allKeys(), QStringList{"Pennacle Suite/Snapshot"});
        QCOMPARE(f.stored("Snapshot"), QString());
    }

    void storedChoicesAreRestored_data() {
        QTest::addColumn<QString>("o1");
        QTest::addColumn<QString>("o2");
        QTest::addColumn<bool>("expect1");
        QTest::addColumn<bool>("expect2");
        QTest::newRow("per-contact mode") << "False"
                                          << "True" << false << true;
        QTest::newRow("both false") << "False"
                                    << "False" << false << false;
        QTest::newRow("both true") << "True"
                                   << "True" << false << true;
        QTest::newRow("numbers") << "0"
                                 << "-1" << false << true;
        QTest::newRow("first only") << "1"
                                    << "0" << true << false;
    }
    void storedChoicesAreRestored() {
        // Selecting the second button by program writes the pair back in normal form.
        QFETCH(QString, o1);
        QFETCH(QString, o2);
        QFETCH(bool, expect1);
        QFETCH(bool, expect2);
        Fixture f({{"Option1", o1},
                   {"Option2", o2},
                   {"Option5", o1},
                   {"Option6", o2},
                   {"TabControl1", "2"}});
        f.open();
        QCOMPARE(f.checked("Option1"), expect1);
        QCOMPARE(f.checked("Option2"), expect2);
        QCOMPARE(f.checked("Option5"), expect1);
        QCOMPARE(f.checked("Option6"), expect2);
        QCOMPARE(f.find<QTabWidget>("TabControl1")->currentIndex(), 2);
        QVERIFY(f.dialogs.calls.isEmpty());
    }

    void unreadableSettingIsReportedAndKeepsTheDesign() {
        Fixture f({{"Option1", "maybe"}, {"Option6", "True"}, {"TabControl1", "x"}});
        f.open();
        const QStringList warnings = f.dialogs.callsOf("warning");
        QCOMPARE(warnings.size(), 2);
        QVERIFY(
            warnings[0].startsWith("Application Error|Type mismatch\r\nin "
                                   "Pennacle2021/08/31.Form1.Form_Load at line 110"));
        QVERIFY(warnings[1].contains("Form_Load at line 112\r\r"));
        QVERIFY(f.checked("Option1"));  // design state
        QVERIFY(!f.checked("Option5") && f.checked("Option6"));
        QCOMPARE(f.find<QTabWidget>("TabControl1")->currentIndex(), 0);
    }

    void optionAndTabHandlersWriteSettings() {
        Fixture f;
        f.open();
        QTest::mouseClick(f.find<QRadioButton>("Option2"), Qt::LeftButton);
        QCOMPARE(f.stored("Option1"), QString("False"));
        QCOMPARE(f.stored("Option2"), QString("True"));
        QTest::mouseClick(f.find<QRadioButton>("Option6"), Qt::LeftButton);
        QCOMPARE(f.stored("Option5"), QString("False"));
        QCOMPARE(f.stored("Option6"), QString("True"));
        f.find<QTabWidget>("TabControl1")->setCurrentIndex(1);
        QCOMPARE(f.stored("TabControl1"), QString("1"));

        // The next start shows what was chosen.
        f.form.reset();
        f.open();
        QVERIFY(f.checked("Option2") && f.checked("Option6"));
        QCOMPARE(f.find<QTabWidget>("TabControl1")->currentIndex(), 1);
    }

    // Tab follows each frame row by row, left to right; the e-mail holder never takes it.
    void tabOrderFollowsReading() {
        Fixture f;
        Form1& form = f.open();
        f.import("BEGIN:VCARD\r\nN:Doe;John\r\nEND:VCARD");  // the form takes input only then
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QStringList page = {
            "txtTextbox_0",  "txtTextbox_1",  "txtTextbox_2",  "txtTextbox_3",  "txtTextbox_4",
            "dtpBirthday",   "Combo2",        "Combo1",        "txtTextbox_6",  "PushButton3",
            "PushButton9",   "txtTextbox_7",  "txtTextbox_8",  "txtTextbox_9",  "txtTextbox_10",
            "txtTextbox_11", "txtTextbox_12", "txtTextbox_13", "txtTextbox_14", "txtTextbox_15",
            "txtTextbox_16", "txtTextbox_17", "txtTextbox_18", "Check1_0",      "txtTextbox_20",
            "Check1_2",      "txtTextbox_22", "Check1_4",      "txtTextbox_19", "Check1_1",
            "txtTextbox_21", "Check1_3",      "txtTextbox_23", "Check1_5"};
        // The named control that holds the focus (a list box's edit area has no name).
        const auto focused = [] {
            QWidget* w = QApplication::focusWidget();
            while (w && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
                w = w->parentWidget();
            return w ? w->objectName() : QString();
        };
        // Tab inside the birthday walks its day, month and year first.
        const auto next = [&](bool back) {
            const QString from = focused();
            for (int press = 0; press < 4 && focused() == from; ++press) {
                QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                                back ? Qt::ShiftModifier : Qt::NoModifier);
            }
            return focused();
        };
        f.box(LastName)->setFocus();
        QStringList forward = {focused()};
        while (forward.size() < page.size())
            forward << next(false);
        QCOMPARE(forward, page);
        QStringList backward = {focused()};
        while (backward.size() < page.size())
            backward.prepend(next(true));
        QCOMPARE(backward, page);
        QVERIFY(!f.box(HiddenEmail)->isVisibleTo(&form));
        QCOMPARE(f.box(HiddenEmail)->focusPolicy(), Qt::NoFocus);
    }

    // F1 asks for help and Ctrl+Q closes the window, wherever the focus is.
    void desktopKeys() {
        Fixture f;
        Form1& form = f.open();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        f.box(WorkCity)->setFocus();
        QTest::keyClick(f.box(WorkCity), Qt::Key_F1);
        QCOMPARE(f.dialogs.calls, QStringList{"message|Pennacle|" + helpText()});
        QTest::keyClick(f.list(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!form.isVisible());
    }

    void helpAndEncodingNote() {
        Fixture f;
        f.open();
        QTest::mouseClick(f.find<QPushButton>("PushButton4"), Qt::LeftButton);
        QTest::mouseClick(f.find<QPushButton>("PushButton8"), Qt::LeftButton);
        const QStringList messages = f.dialogs.callsOf("message");
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].startsWith(
            "Pennacle|Do you need more fields added? Please contact Team Quarrystone at http"));
        QVERIFY(messages[1].startsWith("Pennacle|ANSI Vs. UTF8\r\r"));
        for (const char* word : {"Windows-1252", "OEM", "UTF-16LE", "UTF-8"}) {
            QVERIFY2(messages[1].contains(QLatin1String(word)), word);
        }
    }

    void skinAndPointerFiles() {
        Fixture f;
        QDir().mkpath(f.appFolder() + "/x");
        QFile skin(f.appFolder() + "/x/o.cjs");
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("QPushButton { color: navy; }");
        skin.close();
        QImage hand(32, 32, QImage::Format_ARGB32);
        hand.fill(Qt::red);
        const bool curWritten = hand.save(f.appFolder() + "/HAND-M.CUR", "cur");

        Form1& form = f.open();
        QVERIFY(f.dialogs.calls.isEmpty());
        const QColor face = QApplication::palette().color(QPalette::Button);
        QCOMPARE(form.palette().color(QPalette::Window), face);
        QCOMPARE(f.find<QGroupBox>("Frame6")->palette().color(QPalette::Window), face);
        QCOMPARE(form.styleSheet(), QString("QPushButton { color: navy; }"));
        if (!curWritten)
            QSKIP("This Qt has no writer for .cur files, so no pointer file could be made");
        QCOMPARE(f.find<QPushButton>("PushButton1")->cursor().shape(), Qt::BitmapCursor);
    }

    // What a screen reader says for each control that takes the focus, on every page.
    void everyFocusableControlHasAName() {
        Fixture f;
        Form1& form = f.open();
        form.show();
        QStringList unnamed;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            // The edit part of a list or date box is read as the box itself.
            const bool part = qobject_cast<QComboBox*>(w->parentWidget()) ||
                              qobject_cast<QAbstractSpinBox*>(w->parentWidget());
            if (w->focusPolicy() == Qt::NoFocus || w->isHidden() || part || w->window() != &form)
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
            if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << w->objectName() + " " + w->metaObject()->className();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        const auto nameOf = [&](const char* control) {
            return QAccessible::queryAccessibleInterface(f.find<QWidget>(control))
                ->text(QAccessible::Name);
        };
        QCOMPARE(nameOf("Check1_4"), QString("Cellular preferred"));
        QCOMPARE(nameOf("txtTextbox_14"), QString("Work City"));
        QCOMPARE(nameOf("PushButton3"), QString("Add an e-mail address"));
        for (const auto& [button, key] : {std::pair{"PushButton1", "Ctrl+S"},
                                          {"PushButton2", "Ctrl+O"},
                                          {"PushButton4", "F1"},
                                          {"PushButton5", "Del"},
                                          {"PushButton14", "Ctrl+N"},
                                          {"PushButton15", "Ctrl+D"}}) {
            QVERIFY2(f.find<QWidget>(button)->toolTip().contains(QString("(%1)").arg(key)), button);
        }
    }

    void altLetterReachesItsBox_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("box");
        QTest::newRow("Last Name") << Qt::Key_L << "txtTextbox_0";
        QTest::newRow("Birthday") << Qt::Key_B << "dtpBirthday";
        QTest::newRow("Email, the address") << Qt::Key_E << "Combo1";
        QTest::newRow("Home City") << Qt::Key_Y << "txtTextbox_9";
        QTest::newRow("Cellular") << Qt::Key_A << "txtTextbox_22";
    }
    void altLetterReachesItsBox() {
        QFETCH(Qt::Key, key);
        QFETCH(QString, box);
        Fixture f;
        Form1& form = f.open();
        f.import("BEGIN:VCARD\r\nN:Doe;John\r\nEND:VCARD");  // the form takes input only then
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        f.list()->setFocus();
        QTest::keyClick(f.list(), key, Qt::AltModifier);
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QWidget* expected = f.find<QWidget>(box);
        QVERIFY2(focused == expected || expected->isAncestorOf(focused),
                 qPrintable(focused->objectName()));
    }

    // Under a dark desktop palette every caption still reads on what lies behind it, whether
    // the form is enabled or not, with or without a skin.
    void captionsReadUnderADarkPalette_data() {
        QTest::addColumn<bool>("skin");
        QTest::newRow("design background") << false;
        QTest::newRow("skin") << true;
    }
    void captionsReadUnderADarkPalette() {
        QFETCH(bool, skin);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(darkPalette());
        Fixture f;
        if (skin) {
            QDir().mkpath(f.appFolder() + "/x");
            QFile file(f.appFolder() + "/x/o.cjs");
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Form1& form = f.open();
        QStringList unreadable;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) &&
                !qobject_cast<QGroupBox*>(w)) {
                continue;
            }
            const auto* button = qobject_cast<QAbstractButton*>(w);
            if (qobject_cast<QPushButton*>(w) || (button && button->text().isEmpty()) ||
                w->isHidden() || w->window() != &form) {
                continue;  // text on its own face, no text, or never seen
            }
            for (const auto group : {QPalette::Active, QPalette::Disabled}) {
                const QColor text = w->palette().color(group, w->foregroundRole());
                if (contrast(text, backgroundBehind(w)) < 4.5)
                    unreadable << w->objectName() + " " + w->metaObject()->className();
            }
        }
        QApplication::setPalette(before);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(", ")));
    }

    // On a screen smaller than the window the controls scroll: each one can be brought into
    // view. Where the window fits it keeps its size, without scroll bars.
    void smallScreensScroll() {
        Fixture f;
        Form1& form = f.open();
        form.fitIntoScreen(QSize(760, 420));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.width() <= 760 && form.height() <= 420);
        auto* scroller = f.find<QScrollArea>("Form1Scroller");
        for (const char* name :
             {"PushButton1", "PushButton8", "Check1_5", "PushButton4", "txtTextbox_0"}) {
            auto* control = f.find<QWidget>(name);
            const QPoint center = control->mapTo(scroller->widget(), control->rect().center());
            scroller->ensureVisible(center.x(), center.y(), control->width() / 2 + 1,
                                    control->height() / 2 + 1);
            const QRect shown(control->mapTo(&form, QPoint(0, 0)), control->size());
            QVERIFY2(form.rect().contains(shown), qPrintable(QString("%1 at %2,%3 in %4x%5")
                                                                 .arg(name)
                                                                 .arg(shown.x())
                                                                 .arg(shown.y())
                                                                 .arg(form.width())
                                                                 .arg(form.height())));
        }
        form.fitIntoScreen(QSize(1400, 870));
        QCOMPARE(form.size(), QSize(1208, 557));
        QCoreApplication::processEvents();
        QVERIFY(!scroller->horizontalScrollBar()->isVisible());
        QVERIFY(!scroller->verticalScrollBar()->isVisible());
    }

    void emailListIsAsWideAsItsLongestAddress() {
        Fixture f;
        Form1& form = f.open();
        const QString longest = "delphine.castellanos-montenegro@example.org";
        f.import(
            "BEGIN:VCARD\r\nN:Cast;Delphine\r\nEMAIL;INTERNET:d@example.org\r\nEMAIL;INTERNET:" +
            longest + "\r\nEND:VCARD");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QComboBox* addresses = f.combo("Combo1");
        addresses->showPopup();
        QAbstractItemView* list = addresses->view();
        QVERIFY(list->width() > list->fontMetrics().horizontalAdvance(longest));
        addresses->hidePopup();
    }

    void withoutPointerFileButtonsShowTheHand() {
        Fixture f;
        f.open();
        for (int i = 1; i <= 12; ++i) {
            auto* button = f.find<QPushButton>(QStringLiteral("PushButton%1").arg(i));
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(f.find<QTreeView>("ListView1")->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestForm1)
#include "gui_form1.moc"
