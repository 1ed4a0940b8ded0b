#include "core/dialogs.h"
#include "core/startup.h"

#include <QFile>
#include <QProcess>
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

    void windowCommandLine_data() {
        using Action = WindowCommandLine::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("qtOptions");
        QTest::newRow("files in order") << QStringList{"b.vcf", "a.vcf"} << Action::Run
                                        << QStringList{"b.vcf", "a.vcf"} << QStringList{};
        QTest::newRow("help wins over files")
            << QStringList{"a.vcf", "--help"} << Action::Help << QStringList{} << QStringList{};
        QTest::newRow("-h") << QStringList{"-h"} << Action::Help << QStringList{} << QStringList{};
        QTest::newRow("version") << QStringList{"--version", "--bogus"} << Action::Version
                                 << QStringList{} << QStringList{};
        QTest::newRow("unknown option") << QStringList{"a.vcf", "--bogus"} << Action::UsageError
                                        << QStringList{} << QStringList{};
        QTest::newRow("after --, files") << QStringList{"--", "--help", "-x.vcf"} << Action::Run
                                         << QStringList{"--help", "-x.vcf"} << QStringList{};
        QTest::newRow("lone dash is a file")
            << QStringList{"-"} << Action::Run << QStringList{"-"} << QStringList{};
        QTest::newRow("toolkit options and values")
            << QStringList{"-style", "fusion", "a.vcf", "--platform=xcb", "-reverse"} << Action::Run
            << QStringList{"a.vcf"}
            << QStringList{"-style", "fusion", "--platform=xcb", "-reverse"};
        QTest::newRow("toolkit option without its value")
            << QStringList{"-style"} << Action::UsageError << QStringList{} << QStringList{};
    }
    void windowCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(WindowCommandLine::Action, action);
        QFETCH(QStringList, files);
        QFETCH(QStringList, qtOptions);
        const WindowCommandLine line = parseWindowCommandLine(arguments);
        QCOMPARE(line.action, action);
        QCOMPARE(line.files, files);
        QCOMPARE(line.qtOptions, qtOptions);
        QCOMPARE(line.problem.isEmpty(), action != WindowCommandLine::Action::UsageError);
    }

    // The window program answers these without a display to connect to.
    void windowProgramAnswersWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: pennacle"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "pennacle 1."
                                 << "";
        QTest::newRow("unknown") << QStringList{"--bogus", "a.vcf"} << 2 << ""
                                 << "unknown option --bogus";
    }
    void windowProgramAnswersWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        process.setProcessEnvironment(environment);
        process.start(PENNACLE_WINDOW, arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QString printed = process.readAllStandardOutput();
        const QString complained = process.readAllStandardError();
        QVERIFY2(printed.left(out.size()) == out && (out.isEmpty() || complained.isEmpty()),
                 qPrintable(printed + complained));
        QVERIFY2(complained.contains(err), qPrintable(complained));
        QCOMPARE(printed.isEmpty(), out.isEmpty());
    }

    void pipeFiltersBecomeQtFilters_data() {
        QTest::addColumn<QString>("pipe");
        QTest::addColumn<QString>("qt");
        QTest::newRow("import") << "VCF files|*.vcf"
                                << "VCF files (*.vcf *.VCF)";
        QTest::newRow("save, entries in order, every file")
            << "vCard file|*.vcf|All Files|*"
            << "vCard file (*.vcf *.VCF);;All Files (*)";
        QTest::newRow("pictures, either case")
            << "JPEG files|*.jpg|Bitmap files|*.BMP"
            << "JPEG files (*.jpg *.JPG);;Bitmap files (*.BMP *.bmp)";
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
