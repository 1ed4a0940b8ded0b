// Any card and any shown name, with a piece of that name as the find bar's query: the search
// text is made without failing, holds no control character but the breaks between its values,
// and the contact is found by any piece of its shown name, and by every line of what the form
// shows of its names, e-mail addresses, numbers, company and note. The first two bytes choose the
// piece; the first line of the text after them is the shown name, the rest the card.
#include "cards/loader.h"
#include "cards/searchtext.h"
#include "contacts/searchfold.h"
#include "core/guard.h"
#include "fuzzsupport.h"

#include <QStringDecoder>

namespace {

class SilentReporter : public pennacle::Reporter {
public:
    void showReport(const QString&) override {}
};

// The texts of the searched boxes; a name box may come from N or FN, the title from N alone
// when no TITLE line follows.
QStringList searchedTexts(const pennacle::CardForm& form) {
    using namespace pennacle;
    QStringList texts{form[LastName], form[FirstName], form[MiddleInitial], form[Company],
                      form[Notes]};
    texts += form.Combo1;
    for (const PhoneKindInfo& kind : kPhoneKinds)
        texts.append(form[kind.field]);
    return texts;
}

// The find bar takes one line: each line of a box must find the contact.
void checkBoxesFound(const pennacle::CardBytes& card, const QByteArray& searchText) {
    SilentReporter reporter;
    const pennacle::CardForm form = pennacle::loadCardForm(card, reporter);
    for (const QString& text : searchedTexts(form)) {
        for (const QString& line : text.split(QStringLiteral("\r\n"))) {
            if (!line.isEmpty())
                FUZZ_CHECK(searchText.contains(pennacle::foldForSearch(line)));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const QString text = fuzz::textOf(data + 2, size - 2);
    const qsizetype lineEnd = text.indexOf(u'\n');
    const pennacle::ContactEntry entry{lineEnd < 0 ? text : text.left(lineEnd),
                                       lineEnd < 0 ? QString() : text.mid(lineEnd + 1)};
    const QByteArray searchText = pennacle::contactSearchText(entry);
    for (const char c : searchText)
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
    QStringDecoder utf8(QStringConverter::Utf8);
    (void)utf8.decode(searchText);
    FUZZ_CHECK(!utf8.hasError());

    // A piece of the name that does not cut a surrogate pair in two.
    const QString& name = entry.Text;
    qsizetype from = data[0] % (name.size() + 1);
    qsizetype to = from + data[1] % (name.size() - from + 1);
    if (from > 0 && from < name.size() && name[from].isLowSurrogate() &&
        name[from - 1].isHighSurrogate())
        --from;
    if (to > 0 && to < name.size() && name[to].isLowSurrogate() && name[to - 1].isHighSurrogate())
        ++to;
    const QByteArray query = pennacle::foldForSearch(QStringView(name).sliced(from, to - from));
    FUZZ_CHECK(searchText.contains(query));
    checkBoxesFound(entry.card, searchText);
    return 0;
}
