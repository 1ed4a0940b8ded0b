#include "core/folderfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace pennacle;

namespace {

// "name/" is a folder, "name|" a pipe, "name@target" a link; anything else an empty file.
void makeEntry(const QDir& folder, const QString& entry) {
    const QString path = folder.filePath(entry.chopped(1));
    if (entry.endsWith(u'/')) {
        QVERIFY(folder.mkpath(entry));
    } else if (entry.endsWith(u'|')) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (const qsizetype at = entry.indexOf(u'@'); at > 0) {
        QVERIFY(QFile::link(folder.filePath(entry.mid(at + 1)), folder.filePath(entry.left(at))));
    } else {
        QFile file(folder.filePath(entry));
        QVERIFY(file.open(QIODevice::WriteOnly));
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
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("folder");  // as passed, below the temporary folder
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        const QStringList mixed = {"b.vcf", "a.vcf", "sub/"};
        const QStringList ab = {"a.vcf", "b.vcf"};
        QTest::newRow("without trailing separator") << mixed << "Samples"
                                                    << "*.*" << ab;
        QTest::newRow("with trailing separator") << mixed << "Samples/"
                                                 << "*.*" << ab;
        QTest::newRow("150 files") << numberedFiles(150) << "Samples"
                                   << "*.*" << numberedFiles(150);
        QTest::newRow("only subfolders") << QStringList{"x/", "y/"} << "Samples"
                                         << "*.*" << QStringList{};
        QTest::newRow("hidden file listed, subfolders never")
            << QStringList{".hidden", "sub/", ".hidden-folder/"} << "Samples"
            << "*.*" << QStringList{".hidden"};
        // Reading a pipe would wait forever.
        QTest::newRow("regular files and links to them only")
            << QStringList{"a.vcf",     "link.vcf@a.vcf", "dangling.vcf@gone",
                           "pipe.vcf|", "dir@sub",        "sub/"}
            << "Samples"
            << "*.*" << QStringList{"a.vcf", "link.vcf"};
        QTest::newRow("*.* takes names without a dot, sorted without case")
            << QStringList{"README", "b.txt", "A.VCF"} << "Samples"
            << "*.*" << QStringList{"A.VCF", "b.txt", "README"};
        QTest::newRow("other patterns filter, without case")
            << QStringList{"a.vcf", "B.VCF", "c.txt"} << "Samples"
            << "*.vcf" << QStringList{"a.vcf", "B.VCF"};
        QTest::newRow("missing folder") << QStringList{} << "gone"
                                        << "*.*" << QStringList{};
        QTest::newRow("no folder") << QStringList{} << ""
                                   << "*.*" << QStringList{};
    }
    void listsFilesOnly() {
        QFETCH(QStringList, entries);
        QFETCH(QString, folder);
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QDir samples(dir.filePath("Samples"));
        QVERIFY(samples.mkpath("."));
        for (const QString& entry : entries)
            makeEntry(samples, entry);
        const QString passed = folder.isEmpty() ? QString() : dir.filePath(folder);
        QCOMPARE(ListFolderFiles(passed, pattern), expected);
        for (const QString& name : expected)
            QVERIFY(PathIsExistingFile(samples.filePath(name)));
        QVERIFY(!PathIsExistingFile(dir.path()));
    }
};

QTEST_APPLESS_MAIN(TestFolderFiles)
#include "tst_folderfiles.moc"
