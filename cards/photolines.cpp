#include "cards/photolines.h"

namespace pennacle {

namespace {

// Base64 never holds blanks or line breaks; they come from folding the value over lines.
QString withoutBlanksAndBreaks(QStringView text) {
    QString data(text.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(data.data());
    char16_t* out = begin;
    const auto* in = reinterpret_cast<const char16_t*>(text.utf16());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i];
        *out = c;
        out += c != u' ' && c != u'\t' && c != u'\r' && c != u'\n';
    }
    data.truncate(out - begin);
    return data;
}

}  // namespace

bool isPhotoProperty(QStringView propertyPart) {
    return hasParameter(propertyPart, QLatin1String("PHOTO")) ||
           hasParameter(propertyPart, QLatin1String("X-MS-CARDPICTURE"));
}

QString takePhotoData(const QString& card, qsizetype lineOffset) {
    // The line's property part ends at its first ":" outside quotes; a part folded over
    // lines ends at the first ":" after it.
    const QStringView firstLine =
        QStringView(card).mid(lineOffset, physicalLineEnd(card, lineOffset) - lineOffset);
    const qsizetype colonInLine = propertyColonOf(firstLine);
    const qsizetype colon =
        colonInLine >= 0 ? lineOffset + colonInLine : card.indexOf(u':', lineOffset);
    if (colon < 0)
        return QString();
    const qsizetype valueStart = colon + 1;
    const QStringView text(card);

    // Walk the value's lines: the data end at the first "=" (kept), but never run into
    // the next property or past the empty line that closes the value.
    qsizetype end = card.size();
    qsizetype lineStart = valueStart;
    for (bool firstLine = true;; firstLine = false) {
        const qsizetype lineEnd = physicalLineEnd(card, lineStart);
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        if (!firstLine && (isBlankLine(line) || isPropertyLine(line))) {
            end = lineStart;
            break;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0) {
            end = lineStart + equals + 1;
            break;
        }
        if (lineEnd >= card.size())
            break;
        lineStart = lineEnd + 1;
    }
    return withoutBlanksAndBreaks(text.mid(valueStart, end - valueStart));
}

QString photoLabel(QStringView propertyPart, int number) {
    const qsizetype first = propertyPart.indexOf(u';');
    QStringView piece;
    if (first >= 0) {
        const qsizetype second = propertyPart.indexOf(u';', first + 1);
        piece = second < 0 ? propertyPart.mid(first + 1)
                           : propertyPart.mid(first + 1, second - first - 1);
    }
    const QString caption = piece.isEmpty() ? QStringLiteral("Photo") : piece.toString();
    return caption + QLatin1Char(' ') + QString::number(number);
}

void addPhotoRow(std::vector<PhotoEntry>& rows, const QString& card, const CardLine& line) {
    addPhotoRow(rows, card, line.offset, propertyPartOf(line.text));
}

void addPhotoRow(std::vector<PhotoEntry>& rows, const QString& card, qsizetype lineOffset,
                 QStringView part) {
    QString data = takePhotoData(card, lineOffset);
    if (data.isEmpty())
        return;
    // A line folded onto an empty line starts with the fold's blank or tab; kept, it would make
    // the rebuilt photo line a continuation of the line above it.
    while (!part.isEmpty() && (part.front() == u' ' || part.front() == u'	'))
        part = part.sliced(1);
    const int number = static_cast<int>(rows.size()) + 1;
    rows.push_back(
        PhotoEntry{photoLabel(part, number), std::move(data), part.toString() + QLatin1Char(':')});
}

}  // namespace pennacle
