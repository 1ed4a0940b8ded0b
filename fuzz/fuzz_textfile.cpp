// Any bytes as a VCF file: the encoding test and the reader in pieces.
#include "cards/importer.h"
#include "cards/textfile.h"
#include "fuzzsupport.h"

#include <QTemporaryFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryFile file;
    FUZZ_CHECK(file.isOpen() || file.open());
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.flush();
    const QStringList pieces = pennacle::ReadTextFile(file.fileName());
    FUZZ_CHECK(!pieces.isEmpty());
    qsizetype total = 0;
    for (const QString& piece : pieces) {
        total += piece.size();
    }
    // A byte gives at most one character on every path.
    FUZZ_CHECK(total <= static_cast<qsizetype>(size));
    FUZZ_CHECK(pennacle::readCardFile(file.fileName()).size() == total);
    const QString whole = pennacle::ReadWholeFile(file.fileName());
    FUZZ_CHECK(size == 0 ? whole == u"empty file" : whole.size() == static_cast<qsizetype>(size));
    return 0;
}
