// Any bytes as one card, edited in one box: every line that no box shows is still in the
// rebuilt card, as the card had it (a 3.0/4.0 line in its 2.1 form), and the edited card
// settles by its second rebuild.
#include "cards/loader.h"
#include "cards/propertytable.h"
#include "cards/rebuild.h"
#include "fuzzsupport.h"
#include "vcard/writer21.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const pennacle::CardBytes card = fuzz::cardOf(data + 1, size - 1);
    fuzz::CountingReporter reporter;
    pennacle::CardForm form = pennacle::loadCardForm(card, reporter);
    // The box that the first byte names gets a text of its own.
    form.txtTextbox[size_t(data[0] % pennacle::kFieldCount)] = QStringLiteral("edited");
    const QDateTime now = fuzz::fixedNow();
    const QString edited = pennacle::rebuildCard(form, now, reporter).text();
    for (qsizetype i = 0; i < form.otherLines.count(); ++i)
        FUZZ_CHECK(edited.contains(form.otherLines.at(i)));
    pennacle::CardLineWalker lines(card);
    while (lines.next()) {
        const QString line = pennacle::withoutLineEnd(lines.decodedText()).toString();
        const QStringView part = pennacle::propertyPartOf(line);
        const pennacle::PropertyRow* row = pennacle::propertyRowOf(part);
        if (!pennacle::isPropertyLine(line) || pennacle::isFrameProperty(part) ||
            (row && row->rule != pennacle::Rule::None))
            continue;
        // A line of one of the form's own properties, or continuation lines that a note or
        // Base64 data took, may read differently on their own: only whole lines are checked,
        // and a line that starts with a blank is a property only by the line before it.
        if (lines.isJoined() || line.contains(u'\r') || line.startsWith(u' ') ||
            line.startsWith(u'\t'))
            continue;
        const QString kept = lines.dropsBlank() ? pennacle::lineIn21(line) : line;
        FUZZ_CHECK(edited.contains(kept));
    }
    fuzz::checkRebuildSettles(pennacle::loadCardForm(pennacle::CardBytes(edited), reporter));
    FUZZ_CHECK(reporter.count == 0);
    return 0;
}
