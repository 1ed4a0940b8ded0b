#include "cards/searchtext.h"

#include "cards/propertyreader.h"
#include "cards/propertyvalues.h"
#include "contacts/searchfold.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"

#include <QVarLengthArray>

#include <algorithm>
#include <optional>

namespace pennacle {

namespace {

// Starts a value of its own: no match runs from one value into the next.
void appendValue(QByteArray& out, QStringView text) {
    out.append('\n');
    appendFolded(out, text);
}

QByteArray& digitBuffer() {
    thread_local QByteArray digits;
    return digits;
}

// A number also as its digits alone, so "5550175" finds "504-555-0175"; left out when it would
// repeat the number or hold nothing.
void appendDigits(QByteArray& out, QStringView number, qsizetype foldedSize) {
    QByteArray& digits = digitBuffer();
    digits.resize(0);
    for (const QChar c : number) {
        if (c >= u'0' && c <= u'9')
            digits.append(char(c.unicode()));
        else if (c.unicode() >= 0x80 && c.isDigit())
            digits.append(char('0' + c.digitValue()));
    }
    if (!digits.isEmpty() && digits.size() != foldedSize)
        out.append('\n').append(digits);
}

// A value without escapes, folded piece by piece between its ";" separators: as the box shows
// it (`asShown`, folding never makes nor takes a ";" of the text's own), then as words. Only the
// separators become blanks; a ";" that folding made of another sign stays.
void appendPieces(QByteArray& out, QStringView value, bool asShown) {
    QVarLengthArray<qsizetype, 8> separators;
    out.append('\n');
    const qsizetype start = out.size();
    for (qsizetype from = 0;;) {
        const qsizetype semicolon = value.indexOf(u';', from);
        appendFolded(out, value.sliced(from, (semicolon < 0 ? value.size() : semicolon) - from));
        if (semicolon < 0)
            break;
        separators.append(out.size());
        out.append(';');
        from = semicolon + 1;
    }
    qsizetype words = start;
    if (asShown) {
        // Room first: the copy reads from the buffer it grows.
        const qsizetype end = out.size();
        out.reserve(end + 1 + (end - start));
        out.append('\n');
        words = out.size();
        out.append(QByteArrayView(out.constData() + start, end - start));
    }
    for (const qsizetype separator : separators)
        out[words + separator - start] = ' ';
}

// A compound value's components as words: "Doe;John" is found as "doe john". With `asShown`
// the value as its box shows it comes first.
void appendWords(QByteArray& out, const PropertyLine& line, bool asShown) {
    const ShownText value = shownValue(line);
    if (!line.quotedPrintable() && !holdsChar(line.value(), u'\\')) {
        appendPieces(out, value, asShown);
        return;
    }
    if (asShown)
        appendValue(out, value);
    out.append('\n');
    const QList<QStringView> components = componentsOf(line);
    for (qsizetype i = 0; i < components.size(); ++i) {
        if (i > 0)
            out.append(' ');
        appendFolded(out, shownComponent(line, components[i]));
    }
}

void appendProperty(QByteArray& out, Search search, const PropertyLine& line) {
    switch (search) {
        case Search::None:
            break;
        case Search::Text:
            appendValue(out, shownValue(line));
            break;
        case Search::Email:
            appendValue(out, emailAddressOf(line));
            break;
        case Search::Words:
            appendWords(out, line, false);
            break;
        case Search::TextAndWords:
            appendWords(out, line, true);
            break;
        case Search::Phone: {
            const ShownText number = phoneNumberOf(line);
            const qsizetype start = out.size() + 1;
            appendValue(out, number);
            appendDigits(out, number, out.size() - start);
            break;
        }
        case Search::Note:
            appendValue(out, noteOf(line));
            break;
    }
}

// One walk over a card, appending what the find bar searches of each line.
class SearchWalk {
public:
    SearchWalk(const CardBytes& card, QByteArray& out) : lines_(card), out_(out) {}

    void run() {
        while (lines_.next())
            takeLine();
    }

private:
    void takeLine() {
        const PropertyRow* row = lines_.row();
        if (!row && !lines_.knowsRowFromFirstLine()) {
            if (lines_.isBlank())
                return;
            if (!lines_.isProperty()) {
                appendNoteLine(lines_.text());
                return;
            }
        }
        inNote_ = row && row->search == Search::Note;  // continuation lines go on with it
        if (row && row->search != Search::None)
            appendProperty(out_, row->search, lines_.property());
    }

    void appendNoteLine(QStringView text) {
        const QString more = inNote_ ? noteLineOf(text, lines_.syntax().escapes()) : QString();
        if (!more.isEmpty()) {
            out_.append(' ');
            appendFolded(out_, more);
        }
    }

    PropertyReader lines_;
    QByteArray& out_;
    bool inNote_ = false;  // continuation lines go on with the note before them
};

}  // namespace

QByteArray contactSearchText(const ContactEntry& entry) {
    // Built in a buffer that each thread keeps, and returned at its exact size: the texts of
    // all contacts stay in memory.
    thread_local QByteArray out;
    out.resize(0);
    appendFolded(out, entry.Text);
    SearchWalk(entry.card, out).run();
    return QByteArray(out.constData(), out.size());
}

}  // namespace pennacle
