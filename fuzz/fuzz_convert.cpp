// Any text as a VCF file's content, every card in it written as 4.0, then 3.0, then 4.0 again:
// after the first conversion nothing changes, and every property of the card is in it.
#include "cards/convert.h"
#include "cards/importer.h"
#include "cards/propertytable.h"
#include "fuzzsupport.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"

#include <QHash>

namespace {

// How many lines of each property (group and name, upper case) a card holds, its frame aside.
QHash<QString, int> propertiesOf(const pennacle::CardBytes& card) {
    QHash<QString, int> counts;
    // Lines as the program reads them: "=" padding of photo data is no soft line break.
    pennacle::CardLineWalker lines(card);
    while (lines.next()) {
        const QStringView text = lines.decodedText();
        if (pennacle::isBlankLine(text) || !pennacle::isPropertyLine(text))
            continue;
        // As written: line breaks as blanks, no blanks or tabs around the name, "-" for "=".
        QString part = pennacle::propertyPartOf(text).toString();
        part.replace(u'\r', u' ').replace(u'\n', u' ');
        while (part.startsWith(u' ') || part.startsWith(u'\t'))
            part.remove(0, 1);
        QString head = pennacle::splitPropertyPart(part).front().toString();
        while (head.endsWith(u' ') || head.endsWith(u'\t'))
            head.chop(1);
        head.replace(u'=', u'-');
        if (pennacle::isFrameProperty(part) || pennacle::isFrameProperty(head))
            continue;
        head.replace(u'\t', u' ');
        ++counts[pennacle::trimBlanks(head).toString().toUpper()];
    }
    return counts;
}

void checkConverts(const pennacle::CardBytes& card) {
    using pennacle::CardVersion;
    fuzz::CountingReporter reporter;
    const pennacle::CardBytes v40 = pennacle::convertCard(card, CardVersion::V40, reporter);
    const pennacle::CardBytes v30 = pennacle::convertCard(v40, CardVersion::V30, reporter);
    const pennacle::CardBytes again = pennacle::convertCard(v30, CardVersion::V40, reporter);
    // A valid 4.0 card is written as read; our own spelling settles at once.
    if (v40.bytes() != card.bytes())
        FUZZ_CHECK(again == v40);
    FUZZ_CHECK(pennacle::convertCard(again, CardVersion::V30, reporter) == v30);
    FUZZ_CHECK(reporter.count == 0);
    const QHash<QString, int> source = propertiesOf(card);
    const QHash<QString, int> written = propertiesOf(v30);
    for (auto it = source.begin(); it != source.end(); ++it)
        FUZZ_CHECK(written.value(it.key()) >= it.value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pennacle::CardBytes text = fuzz::cardOf(data, size);
    fuzz::CountingReporter reporter;
    const std::vector<pennacle::ContactEntry> entries = pennacle::scanCards(text, reporter);
    for (const pennacle::ContactEntry& entry : entries)
        checkConverts(entry.card);
    return 0;
}
