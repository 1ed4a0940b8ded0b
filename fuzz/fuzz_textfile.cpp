// Any bytes as a file: the encoding test and the reader in pieces.
#include "cards/textfile.h"

#include <QTemporaryFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        std::abort();
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    file.flush();
    const QStringList pieces = pennacle::ReadTextFile(file.fileName());
    if (pieces.isEmpty())
        std::abort();
    pennacle::ReadWholeFile(file.fileName());
    return 0;
}
