// Photo extraction from any card text, and the photo lines written back from the rows.
#include "cards/photolines.h"
#include "cards/propertytable.h"
#include "fuzzsupport.h"
#include "vcard/base64.h"
#include "vcard/cardlines.h"

#include <vector>

namespace {

std::vector<pennacle::PhotoEntry> photoRowsOf(const QString& card) {
    std::vector<pennacle::PhotoEntry> rows;
    for (const pennacle::CardLine& line : pennacle::splitCardLines(card)) {
        if (pennacle::isPropertyLine(line.text) &&
            pennacle::isPhotoProperty(pennacle::propertyPartOf(line.text))) {
            pennacle::addPhotoRow(rows, card, line);
        }
    }
    return rows;
}

bool hasBlankOrBreak(const QString& text) {
    return text.contains(u' ') || text.contains(u'\t') || text.contains(u'\r') ||
           text.contains(u'\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString card = fuzz::textOf(data, size);
    // Any offset at all, as a line start or not.
    for (const qsizetype offset : {qsizetype(0), card.size() / 2, card.size()}) {
        FUZZ_CHECK(!hasBlankOrBreak(pennacle::takePhotoData(card, offset)));
    }
    const std::vector<pennacle::PhotoEntry> rows = photoRowsOf(card);
    for (const pennacle::PhotoEntry& row : rows) {
        FUZZ_CHECK(!row.PhotoData.isEmpty() && !hasBlankOrBreak(row.PhotoData));
        FUZZ_CHECK(!row.PhotoType.startsWith(u' ') && !row.PhotoType.startsWith(u'\t'));
    }
    fuzz::CountingReporter reporter;
    const QString block = pennacle::GetImageFromList(rows, reporter);
    FUZZ_CHECK(reporter.count == 0);
    // Written and read again, each row keeps its data as the writer pads it (reading stops at
    // the first "=", the writer pads anew) and the lines come out the same; a row that pads down
    // to nothing (not one byte to decode) is not written.
    std::vector<QString> written;
    for (const pennacle::PhotoEntry& row : rows) {
        QString padded = pennacle::paddedBase64(row.PhotoData);
        if (!padded.isEmpty())
            written.push_back(std::move(padded));
    }
    const std::vector<pennacle::PhotoEntry> again = photoRowsOf(block);
    FUZZ_CHECK(again.size() == written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        FUZZ_CHECK(pennacle::paddedBase64(again[i].PhotoData) == written[i]);
    }
    FUZZ_CHECK(pennacle::GetImageFromList(again, reporter) == block);
    return 0;
}
