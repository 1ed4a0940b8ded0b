#include "cards/samplefiles.h"
#include "core/scramble.h"
#include "core/settingsstore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

class TestScramble : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("scrambled");  // pinned: recorded lists must stay readable
        QString codes;
        for (char16_t c = 1; c <= 255; ++c)
            codes += QChar(c);
        const QString key = QLatin1String(kSnapshotKey);
        QTest::newRow("ASCII, key repeats") << "Az!"
                                            << "ab" << QString::fromUtf16(u"¢Ü\u0082");
        QTest::newRow("two bytes, wraps past 255") << "È"
                                                   << "ab" << QString::fromUtf16(u"%ê");
        QTest::newRow("four bytes") << "😀"
                                    << "a" << QString::fromUtf16(u"R\u0001ùá");
        QTest::newRow("empty") << "" << key << "";
        QTest::newRow("codes 1-255") << codes << key << QString();
        QTest::newRow("outside Windows-1252")
            << "/home/Ørjan/Программы/日本 😀/Samples/a.vcf|/x/Samples/b.vcf" << key << QString();
        QTest::newRow("settings syntax") << "a=b;c\\d\"e\",f[g]#h\r\n" << key << QString();
    }
    // Any text comes back, also after a trip through the settings file.
    void roundTrip() {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, scrambled);
        const QString result = ScrambleText(text, key);
        if (!scrambled.isNull())
            QCOMPARE(result, scrambled);
        QCOMPARE(result.size(), text.toUtf8().size());
        for (QChar c : result)
            QVERIFY(c.unicode() >= 1 && c.unicode() <= 255);
        QTemporaryDir dir;
        SettingsStore(dir.filePath("settings.ini")).WriteSetting("Snapshot", result);
        const SettingsStore reopened(dir.filePath("settings.ini"));
        QCOMPARE(UnscrambleText(reopened.ReadSetting("Snapshot", QString()), key), text);
        if (!text.isEmpty())
            QVERIFY(UnscrambleText(result, "otherkey") != text);
    }
};

QTEST_APPLESS_MAIN(TestScramble)
#include "tst_scramble.moc"
