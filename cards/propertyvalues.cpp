#include "cards/propertyvalues.h"

#include "cards/propertytable.h"
#include "core/ansiencoding.h"
#include "core/linebreaks.h"
#include "vcard/cardlines.h"
#include "vcard/quotedprintable.h"

#include <algorithm>

namespace pennacle {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The text stripped of CR, as a view when its only CR is the one that ends its line.
ShownText withoutCR(QStringView text) {
    const QStringView body = withoutLineEnd(text);
    if (!holdsChar(body, u'\r'))
        return ShownText(body);
    return ShownText(stripCR(text));
}

// Value trimmed, then stripped of CR: a blank before the line's closing CR stays.
ShownText plainValue(QStringView value) {
    return withoutCR(trimBlanks(value));
}

// A piece of the line stripped of CR, then shown.
ShownText shownPiece(const PropertyLine& line, ShownText piece, Piece kind) {
    if (!line.needsDecoding(piece.view(), kind))
        return piece;
    return line.shown(piece.view(), kind);
}

// The blanks that end the text.
QStringView trailingBlanks(QStringView text) {
    qsizetype start = text.size();
    while (start > 0 && text[start - 1] == u' ')
        --start;
    return text.sliced(start);
}

// The text without blanks at its ends, trimmed in place.
QString trimmedBlanks(QString text) {
    const QStringView trimmed = trimBlanks(text);
    if (trimmed.size() == text.size())
        return text;
    const qsizetype first = trimmed.data() - QStringView(text).data();
    text.truncate(first + trimmed.size());
    text.remove(0, first);
    return text;
}

}  // namespace

ShownText shownValue(const PropertyLine& line) {
    return shownPiece(line, plainValue(line.value()), Piece::Whole);
}

QList<QStringView> componentsOf(const PropertyLine& line) {
    const QStringView trimmed = trimBlanks(line.value());
    return withoutLineEnd(trimmed).isEmpty() ? QList<QStringView>() : line.components(trimmed);
}

ShownText shownComponent(const PropertyLine& line, QStringView component) {
    return shownPiece(line, plainValue(component), Piece::Component);
}

ShownText emailAddressOf(const PropertyLine& line) {
    return shownPiece(line, withoutCR(line.rawValue()), Piece::Whole);
}

namespace {

// A word a type may be: letters, digits and "-". Anything else (a quoted ":", say) would change
// the line it is written into.
bool isTypeWord(QStringView word) {
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
               c == u'-';
    });
}

// The type words of a 3.0 or 4.0 property part, as a person reads them: the words of every
// TYPE parameter (TYPE=a,b and TYPE="a,b" alike) and every bare word, upper-cased, without
// PREF (the first place in the list says that), joined by ",": written back as shown, the
// words stay one type that a 2.1 reading gives back whole.
QString typeWordsOf(const PropertyLine& line) {
    static constexpr QLatin1StringView kType("TYPE");
    QStringList words;
    for (const QStringView parameter : line.parameters()) {
        QStringView value = trimBlanks(parameter);
        const qsizetype equals = value.indexOf(u'=');
        if (equals >= 0) {
            if (!equalsIgnoringAsciiCase(trimBlanks(value.first(equals)), kType))
                continue;
            value = trimBlanks(value.sliced(equals + 1));
        }
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
            value = value.sliced(1, value.size() - 2);
        for (const QStringView word : value.split(u',', Qt::SkipEmptyParts)) {
            const QString upper = trimBlanks(word).toString().toUpper();
            if (isTypeWord(upper) && upper != u"PREF" && !words.contains(upper))
                words.append(upper);
        }
    }
    return words.join(u',');
}

}  // namespace

QString emailTypeOf(const PropertyLine& line) {
    if (line.escapes()) {
        const QString words = typeWordsOf(line);
        return words.isEmpty() ? QString(propertyName(Rule::Email)) : words;
    }
    const QList<QStringView> parameters = line.parameters();
    if (!parameters.isEmpty()) {
        QString type = trimBlanks(parameters.front()).toString().toUpper();
        if (!type.isEmpty())
            return type;
    }
    return propertyName(Rule::Email);
}

ShownText phoneNumberOf(const PropertyLine& line) {
    // A 3.0 or 4.0 number given as a "tel:" address shows as the number it names.
    static constexpr QLatin1StringView kTelScheme("tel:");
    const QStringView value = line.value();
    const bool telUri = line.escapes() && value.size() > kTelScheme.size() &&
                        equalsIgnoringAsciiCase(value.first(kTelScheme.size()), kTelScheme);
    return shownPiece(line, withoutCR(telUri ? value.sliced(kTelScheme.size()) : value),
                      Piece::Whole);
}

QString formattedNameOf(const PropertyLine& line) {
    return trimmedWithoutCR(line.shown(stripCR(trimBlanks(line.value())), Piece::Whole));
}

QString noteOf(const PropertyLine& line) {
    // Trimmed before the line end goes, so that blanks before the line's closing CR stay, as in
    // the one-line boxes; they are kept apart from the decoded text, whose own blanks at its
    // ends go. The line end is left out so that saving and reloading never grows the note.
    const QStringView value = trimBlanks(line.value());
    const QStringView body = withoutLineEnd(value);
    const QStringView kept = body.size() < value.size() ? trailingBlanks(body) : QStringView();
    QString note = body.chopped(kept.size()).toString();
    if (line.quotedPrintable()) {
        note = DecodeQuotedPrintable(note, line.charset());
    } else if (line.bareQuotedPrintable()) {
        note = decodeWrittenNote(note);
    } else {
        note.replace(QLatin1String("=0D=0A="), kCrLf);
    }
    if (line.escapes())
        note = unescaped(note, true, kCrLf);
    note = trimmedBlanks(withCrLfBreaks(std::move(note)));
    return note.isEmpty() ? note : note.append(kept);
}

QString noteLineOf(QStringView line, bool escapes) {
    QString text = withoutLineEnd(trimBlanks(line)).toString();
    if (escapes)
        text = unescaped(text, true, kCrLf);
    return withCrLfBreaks(std::move(text));
}

QString shownOtherLine(QStringView line) {
    static constexpr qsizetype kShownLength = 200;
    // A kept line holds the ANSI reading of its card when it came from an ANSI file, where a
    // set that it names (Shift_JIS) applies: read so whenever it can be.
    const CardBytes card =
        fitsAnsi(line) ? CardBytes(encodeAnsi(line), CardEncoding::Ansi) : CardBytes(line);
    CardLineWalker lines(card);
    if (!lines.next())
        return QString();
    const QStringView text = lines.decodedText();
    if (!isPropertyLine(text))
        return trimmedWithoutCR(text.first(std::min(text.size(), kShownLength)));
    const CardSyntax syntax(card, false);
    const PropertyLine property(text, syntax);
    const QStringView part = withoutGroup(property.part());
    const QStringView name = part.first(
        std::max<qsizetype>(0, part.indexOf(u';') < 0 ? part.size() : part.indexOf(u';')));
    const QString value = shownValue(property);
    QString shown = trimBlanks(name).toString();
    shown.append(u": ").append(QStringView(value).first(std::min(value.size(), kShownLength)));
    return shown;
}

}  // namespace pennacle
