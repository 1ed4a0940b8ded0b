#include "cards/photolines.h"

#include "cards/propertytable.h"
#include "vcard/photovalue.h"

namespace pennacle {

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
