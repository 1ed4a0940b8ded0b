#include "core/guard.h"
#include "core/settingsstore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void readWriteAndDefaults() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        {
            SettingsStore store(path);
            QCOMPARE(store.ReadSetting("Snapshot", QString()), QString());
            QCOMPARE(store.ReadSetting("TabControl1", "0"), QString("0"));
            store.WriteSetting("LastFolder", QStringLiteral("/home/ann/Cards ü"));
            const QString longValue(100000, QLatin1Char('x'));
            store.WriteSetting("Snapshot", longValue);
            QCOMPARE(store.ReadSetting("Snapshot", QString()), longValue);
        }
        // A new store over the same file sees the values: nothing is cached.
        SettingsStore again(path);
        QCOMPARE(again.ReadSetting("LastFolder", QString()), QStringLiteral("/home/ann/Cards ü"));
        // Reading an absent key never creates it; keys live in the "Pennacle Suite" section.
        QSettings raw(path, QSettings::IniFormat);
        QVERIFY(!raw.contains("Pennacle Suite/TabControl1"));
        QVERIFY(raw.contains("Pennacle Suite/LastFolder"));
    }

    void booleanConversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // -1: not a Boolean
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("false any case") << "fALSE" << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-1" << 1;
        QTest::newRow("decimal") << "0.5" << 1;
        QTest::newRow("blanks") << " 0 " << 0;
        QTest::newRow("word") << "yes" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("trailing text") << "1x" << -1;
    }
    void booleanConversion() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        if (expected < 0) {
            QVERIFY_THROWS_EXCEPTION(Failure, settingToBool(text));
        } else {
            QCOMPARE(settingToBool(text), expected == 1);
        }
    }

    void integerConversion() {
        QCOMPARE(settingToInt("2"), 2);
        QCOMPARE(settingToInt(" 1"), 1);
        QVERIFY_THROWS_EXCEPTION(Failure, settingToInt("two"));
        QCOMPARE(boolToSetting(true), QString("True"));
        QCOMPARE(boolToSetting(false), QString("False"));
    }
};

QTEST_APPLESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
