#include "core/dialogs.h"
#include "core/startup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void applicationTitleCutsAtTheLastBlank_data() {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("title");
        QTest::newRow("product") << "Pennacle Suite"
                                 << "Pennacle";
        QTest::newRow("long") << "An Extraordinarily Long Product Name For Contact Card Editing"
                              << "An Extraordinarily Long Product Name For";
        QTest::newRow("one word") << "Pennacle"
                                  << "Pennacle";
    }
    void applicationTitleCutsAtTheLastBlank() {
        QFETCH(QString, product);
        QFETCH(QString, title);
        QCOMPARE(applicationTitle(product), title);
        QVERIFY(applicationTitle(product).size() <= 40);
    }

    void fileExistsNeverThrows() {
        QTemporaryDir dir;
        QVERIFY(FileExists(dir.path()));
        QVERIFY(!FileExists(dir.filePath("missing")));
        QVERIFY(!FileExists(QString()));
        QFile file(dir.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(FileExists(pointerFilePath(dir.path())));
        QVERIFY(skinFilePath(dir.path()).endsWith("/x/o.cjs"));
    }

    void pipeFiltersBecomeQtFilters_data() {
        QTest::addColumn<QString>("pipe");
        QTest::addColumn<QString>("qt");
        QTest::newRow("import") << "VCF files(*.vcf)|*.vcf"
                                << "VCF files(*.vcf) (*.vcf *.VCF)";
        QTest::newRow("save, entries in order")
            << "vCard file(*.vcf)|*.vcf|All Files(*.*|*.*"
            << "vCard file(*.vcf) (*.vcf *.VCF);;All Files(*.* (*.*)";
        QTest::newRow("pictures, either case")
            << "JPEG files(*.jpg)|*.jpg|Bitmap files(.BMP)|*.BMP"
            << "JPEG files(*.jpg) (*.jpg *.JPG);;Bitmap files(.BMP) (*.BMP *.bmp)";
        QTest::newRow("several patterns, mixed case") << "Pictures|*.Jpg;*.bmp"
                                                      << "Pictures (*.Jpg *.jpg *.JPG *.bmp *.BMP)";
    }
    void pipeFiltersBecomeQtFilters() {
        QFETCH(QString, pipe);
        QFETCH(QString, qt);
        QCOMPARE(qtFilterFromPipeFilter(pipe), qt);
    }
};

QTEST_APPLESS_MAIN(TestStartup)
#include "tst_startup.moc"
