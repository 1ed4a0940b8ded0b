// Any display names, one per input line: the per-contact file names stay inside the folder.
#include "cards/save.h"
#include "fuzzsupport.h"

#include <QDir>
#include <QSet>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList names = fuzz::textOf(data, size).split(u'\n');
    std::vector<pennacle::ContactEntry> rows;
    rows.reserve(names.size());
    for (const QString& name : names) {
        rows.push_back({name, QStringLiteral("card")});
    }
    const QStringList files = pennacle::contactFileNames(rows);
    FUZZ_CHECK(files.size() == names.size());

    const QString folder = QStringLiteral("/target/folder");
    QSet<QString> seen;
    for (const QString& file : files) {
        FUZZ_CHECK(file.endsWith(QLatin1String(".vcf")) && file.size() > 4);
        FUZZ_CHECK(!file.contains(u'/') && !file.contains(u'\\') && !file.contains(QChar(0)));
        FUZZ_CHECK(file != u"." && file != u".." && !QDir::isAbsolutePath(file));
        const QString path = QDir::cleanPath(QDir(folder).filePath(file));
        FUZZ_CHECK(path.startsWith(folder + u'/') && path.mid(folder.size() + 1) == file);
        // No two files of one save collide, not even where case is ignored.
        const QString key = file.toCaseFolded();
        FUZZ_CHECK(!seen.contains(key));
        seen.insert(key);
    }
    return 0;
}
