#include "cards/samplefiles.h"
#include "core/scramble.h"
#include "core/settingsstore.h"

#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

namespace {

QString codes1To255() {
    QString text;
    for (char16_t c = 1; c <= 255; ++c)
        text += QChar(c);
    return text;
}

}  // namespace

class TestScramble : public QObject {
    Q_OBJECT
private slots:
    // The stored form must not change between versions, or recorded lists are lost.
    void shiftsTheUtf8Bytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("scrambled");
        QTest::newRow("ASCII, key repeats") << "Az!"
                                            << "ab" << QString::fromUtf16(u"\u00A2\u00DC\u0082");
        QTest::newRow("two-byte character wraps past 255")
            << "\u00C8"
            << "ab" << QString::fromUtf16(u"%\u00EA");  // C3 88
        QTest::newRow("four-byte character")
            << "\U0001F600"
            << "a" << QString::fromUtf16(u"R\u0001\u00F9\u00E1");  // F0 9F 98 80
        QTest::newRow("empty") << ""
                               << "lanterns"
                               << "";
    }
    void shiftsTheUtf8Bytes() {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, scrambled);
        QCOMPARE(ScrambleText(text, key), scrambled);
        QCOMPARE(UnscrambleText(scrambled, key), text);
    }

    // Any text comes back, also after a trip through the settings file.
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("codes 1-255") << codes1To255();
        QTest::newRow("outside Windows-1252")
            << "/home/Ørjan/Программы/日本 😀/Samples/a.vcf|/x/Samples/b.vcf";
        QTest::newRow("settings syntax") << "a=b;c\\d\"e\",f[g]#h\r\n";
        QTest::newRow("long") << QString("/opt/app/Samples/sample.vcf|").repeated(200);
    }
    void roundTrip() {
        QFETCH(QString, text);
        const QString key = QLatin1String(kSnapshotKey);
        const QString scrambled = ScrambleText(text, key);
        QCOMPARE(scrambled.size(), text.toUtf8().size());
        for (QChar c : scrambled)
            QVERIFY(c.unicode() >= 1 && c.unicode() <= 255);
        QCOMPARE(UnscrambleText(scrambled, key), text);
        QVERIFY(UnscrambleText(scrambled, "otherkey") != text);

        QTemporaryDir dir;
        {
            SettingsStore settings(dir.filePath("settings.ini"));
            settings.WriteSetting("Snapshot", scrambled);
        }
        const SettingsStore reopened(dir.filePath("settings.ini"));
        QCOMPARE(UnscrambleText(reopened.ReadSetting("Snapshot", QString()), key), text);
    }
};

QTEST_APPLESS_MAIN(TestScramble)
#include "tst_scramble.moc"
