// Any bytes as a file: the encoding test, the reader in pieces, and the block-by-block reading
// and card scan of an import, which must give exactly what the whole text gives.
#include "cards/importer.h"
#include "fuzzsupport.h"
#include "vcard/textfile.h"

#include <QTemporaryFile>

#include <cstdint>

namespace {
class NullReporter : public pennacle::Reporter {
public:
    void showReport(const QString&) override {}
};
}  // namespace

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
    const pennacle::CardBytes held = pennacle::readCardFile(file.fileName());
    // UTF-8 has no room for half a surrogate pair, which a UTF-16 file may hold: U+FFFD.
    QString text = pieces.join(QString());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    FUZZ_CHECK(held.text() == text);
    const QString wholeFile = pennacle::ReadWholeFile(file.fileName());
    FUZZ_CHECK(size == 0 ? wholeFile == u"empty file"
                         : wholeFile.size() == static_cast<qsizetype>(size));

    // Blocks of 1 to 16 bytes, so that they end inside characters and markers.
    const qint64 blockSize = size > 0 ? 1 + data[0] % 16 : 1;
    pennacle::TextFileReader reader(file.fileName(), blockSize);
    QByteArray streamed;
    while (reader.readInto(streamed) != pennacle::TextFileReader::Read::End) {
    }
    FUZZ_CHECK(pennacle::CardBytes(streamed, reader.encoding()) == held);
    NullReporter reporter;
    const auto cards = pennacle::CardFileImport(file.fileName(), blockSize).scan(reporter);
    const auto expected = pennacle::scanCards(held, reporter);
    FUZZ_CHECK(cards.size() == expected.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        FUZZ_CHECK(cards[i].Text == expected[i].Text && cards[i].card == expected[i].card);
    }
    return 0;
}
