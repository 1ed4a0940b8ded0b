#include "cards/propertyvalues.h"

#include "core/linebreaks.h"
#include "vcard/cardlines.h"
#include "vcard/quotedprintable.h"

namespace pennacle {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Value trimmed, then stripped of CR: a blank before the line's closing CR stays.
QString plainValue(QStringView value) {
    return stripCR(trimBlanks(value));
}

QString trimmedText(QStringView text) {
    return trimBlanks(stripCR(text)).toString();
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

QString shownValue(const PropertyLine& line) {
    return line.shown(plainValue(line.value()), Piece::Whole);
}

QList<QStringView> componentsOf(const PropertyLine& line) {
    const QStringView trimmed = trimBlanks(line.value());
    return withoutLineEnd(trimmed).isEmpty() ? QList<QStringView>() : line.components(trimmed);
}

QString shownComponent(const PropertyLine& line, QStringView component) {
    return line.shown(plainValue(component), Piece::Component);
}

QString emailAddressOf(const PropertyLine& line) {
    return line.shown(stripCR(line.rawValue()), Piece::Whole);
}

QString emailTypeOf(const PropertyLine& line) {
    const QList<QStringView> parameters = line.parameters();
    if (!parameters.isEmpty()) {
        QString type = trimBlanks(parameters.front()).toString().toUpper();
        if (!type.isEmpty())
            return type;
    }
    return QStringLiteral("EMAIL");
}

QString phoneNumberOf(const PropertyLine& line) {
    return line.shown(stripCR(line.value()), Piece::Whole);
}

QString formattedNameOf(const PropertyLine& line) {
    return trimmedText(line.shown(stripCR(trimBlanks(line.value())), Piece::Whole));
}

QString noteOf(const PropertyLine& line) {
    // The line end is left out so that saving and reloading never grows the note.
    QString note = withoutLineEnd(line.value()).toString();
    if (line.quotedPrintable()) {
        note = DecodeQuotedPrintable(note, charsetOf(line.part()));
    } else if (line.bareQuotedPrintable()) {
        note = decodeWrittenNote(note);
    } else {
        note.replace(QLatin1String("=0D=0A="), kCrLf);
    }
    if (line.escapes())
        note = unescaped(note, true, kCrLf);
    return trimmedBlanks(withCrLfBreaks(std::move(note)));
}

QString noteLineOf(QStringView line, bool escapes) {
    QString text = trimBlanks(withoutLineEnd(line)).toString();
    if (escapes)
        text = unescaped(text, true, kCrLf);
    return withCrLfBreaks(std::move(text));
}

}  // namespace pennacle
