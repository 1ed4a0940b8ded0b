#include "core/samplesfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

class TestSamplesFolder : public QObject {
    Q_OBJECT
private slots:
    // Paths are relative to a temporary prefix; the program sits in "bin" unless told otherwise.
    void findsTheSamplesBesideOrUnderShare_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("appFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree") << QStringList{"bin/Samples"} << QStringList{} << "bin"
                                    << "bin/Samples";
        QTest::newRow("installed")
            << QStringList{"bin", "share/pennacle/Samples"} << QStringList{} << "bin"
            << "share/pennacle/Samples";
        QTest::newRow("both: beside wins")
            << QStringList{"bin/Samples", "share/pennacle/Samples"} << QStringList{} << "bin"
            << "bin/Samples";
        QTest::newRow("a file named Samples is no folder")
            << QStringList{"bin", "share/pennacle/Samples"} << QStringList{"bin/Samples"} << "bin"
            << "share/pennacle/Samples";
        QTest::newRow("neither is a folder") << QStringList{"bin", "share/pennacle"}
                                             << QStringList{"share/pennacle/Samples"} << "bin"
                                             << "bin/Samples";
        QTest::newRow("program folder missing") << QStringList{} << QStringList{} << "gone/bin"
                                                << "gone/bin/Samples";
    }
    void findsTheSamplesBesideOrUnderShare() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QString, appFolder);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QDir root(prefix.path());
        for (const QString& folder : folders)
            QVERIFY(root.mkpath(folder));
        for (const QString& file : files) {
            QFile stray(root.filePath(file));
            QVERIFY(stray.open(QIODevice::WriteOnly));
        }
        QCOMPARE(samplesFolder(root.filePath(appFolder)), root.filePath(expected));
    }
};

QTEST_APPLESS_MAIN(TestSamplesFolder)
#include "tst_samplesfolder.moc"
