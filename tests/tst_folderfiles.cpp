#include "core/folderfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace pennacle;

namespace {

// "name/" is a folder, anything else an empty file.
void makeEntries(const QDir& folder, const QStringList& entries) {
    QVERIFY(folder.mkpath("."));
    for (const QString& entry : entries) {
        if (entry.endsWith(u'/')) {
            QVERIFY(folder.mkpath(entry));
        } else {
            QFile file(folder.filePath(entry));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
}

QStringList numberedFiles(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("card%1.vcf").arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

}  // namespace

class TestFolderFiles : public QObject {
    Q_OBJECT
private slots:
    void listsFilesOnly_data() {
        QTest::addColumn<QStringList>("entries");  // "name/" is a folder
        QTest::addColumn<QString>("folder");       // as passed, below the temporary folder
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        const QStringList mixed = {"b.vcf", "a.vcf", "sub/"};
        QTest::newRow("without trailing separator") << mixed << "Samples"
                                                    << "*.*" << QStringList{"a.vcf", "b.vcf"};
        QTest::newRow("with trailing separator") << mixed << "Samples/"
                                                 << "*.*" << QStringList{"a.vcf", "b.vcf"};
        QTest::newRow("150 files") << numberedFiles(150) << "Samples"
                                   << "*.*" << numberedFiles(150);
        QTest::newRow("only subfolders") << QStringList{"x/", "y/"} << "Samples"
                                         << "*.*" << QStringList{};
        QTest::newRow("hidden file listed, subfolders never")
            << QStringList{".hidden", "sub/", ".hidden-folder/"} << "Samples"
            << "*.*" << QStringList{".hidden"};
        QTest::newRow("*.* takes names without a dot, sorted without case")
            << QStringList{"README", "b.txt", "A.VCF"} << "Samples"
            << "*.*" << QStringList{"A.VCF", "b.txt", "README"};
        QTest::newRow("other patterns filter, without case")
            << QStringList{"a.vcf", "B.VCF", "c.txt"} << "Samples"
            << "*.vcf" << QStringList{"a.vcf", "B.VCF"};
        QTest::newRow("missing folder") << QStringList{} << "gone"
                                        << "*.*" << QStringList{};
        QTest::newRow("empty folder text") << QStringList{} << ""
                                           << "*.*" << QStringList{};
    }
    void listsFilesOnly() {
        QFETCH(QStringList, entries);
        QFETCH(QString, folder);
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        makeEntries(QDir(dir.filePath("Samples")), entries);
        const QString passed = folder.isEmpty() ? QString() : dir.filePath(folder);
        QCOMPARE(ListFolderFiles(passed, pattern), expected);
    }

    // Only regular files count: reading a pipe would wait forever.
    void pathIsExistingFile() {
        QTemporaryDir dir;
        const QDir root(dir.path());
        makeEntries(root, {"a.vcf", "sub/"});
        QVERIFY(PathIsExistingFile(root.filePath("a.vcf")));
        QVERIFY(!PathIsExistingFile(root.filePath("sub")));
        QVERIFY(!PathIsExistingFile(root.filePath("missing")));
        QVERIFY(!PathIsExistingFile(QString()));
#ifdef Q_OS_UNIX
        QVERIFY(QFile::link(root.filePath("a.vcf"), root.filePath("link.vcf")));
        QVERIFY(QFile::link(root.filePath("gone"), root.filePath("dangling.vcf")));
        QCOMPARE(mkfifo(QFile::encodeName(root.filePath("pipe.vcf")).constData(), 0600), 0);
        QVERIFY(PathIsExistingFile(root.filePath("link.vcf")));
        QVERIFY(!PathIsExistingFile(root.filePath("dangling.vcf")));
        QVERIFY(!PathIsExistingFile(root.filePath("pipe.vcf")));
        QCOMPARE(ListFolderFiles(dir.path(), "*.*"), (QStringList{"a.vcf", "link.vcf"}));
#endif
    }
};

QTEST_APPLESS_MAIN(TestFolderFiles)
#include "tst_folderfiles.moc"
