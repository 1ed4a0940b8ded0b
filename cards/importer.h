#pragma once

#include "core/contactentry.h"
#include "core/guard.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace pennacle {

// Told now and then how far the scan has come (a position in the text and its length).
// Returning false stops the scan.
using ScanProgress = std::function<bool(qsizetype position, qsizetype total)>;

// Cuts every "BEGIN:VCARD" ... "END:VCARD" span out of the bytes (markers in any case, the
// card's bytes exactly as they stand, in the bytes' encoding) and names it with `GetName`;
// cards that hold nothing are left out.
// A scan stopped by `progress` returns no rows.
std::vector<ContactEntry> scanCards(const CardBytes& text, Reporter& reporter,
                                    const ScanProgress& progress = {});

// The whole of a VCF file as an import holds it (see TextFileReader). Throws Failure when it
// cannot be read.
CardBytes readCardFile(const QString& path);

class TextFileReader;

// The import of one VCF file, read block by block: cards are cut as soon as they are
// complete, so the file is never held at once beside its cards, and named on helper threads
// while the reading goes on. The cards and their names are those that scanCards finds in
// readCardFile's bytes.
class CardFileImport {
public:
    // Opens the file and reads its mark. Throws Failure when it cannot be read. The file is
    // read `blockSize` bytes at a time.
    explicit CardFileImport(const QString& path, qint64 blockSize = qint64(1) << 18);
    ~CardFileImport();

    // Reads the file and cuts its cards. `progress` hears after each block how many of the
    // file's bytes are read; returning false stops the import, which then returns no rows.
    // Reports of naming reach `reporter` on the calling thread. Throws Failure when reading
    // fails.
    std::vector<ContactEntry> scan(Reporter& reporter, const ScanProgress& progress = {});

private:
    // A file with the UTF-8 mark that holds bytes no UTF-8 text can: where, so that the
    // U+FFFD they become never goes unsaid.
    void reportInvalidUtf8(Reporter& reporter) const;

    std::unique_ptr<TextFileReader> reader_;
    QString path_;
};

// Appends the cards of one VCF file to the rows in one batch and returns how many rows were
// added. Throws Failure when the file cannot be read (nothing is added then).
qsizetype importCardFile(const QString& path, std::vector<ContactEntry>& rows, Reporter& reporter);

}  // namespace pennacle
