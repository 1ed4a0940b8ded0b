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

void addPhotoRow(std::vector<PhotoEntry>& rows, const CardBytes& card, const CardLine& line) {
    addPhotoRow(rows, card, line.offset, propertyPartOf(line.text));
}

void addPhotoRow(std::vector<PhotoEntry>& rows, const CardBytes& card, qsizetype lineOffset,
                 QStringView part) {
    QString data = takePhotoData(card, lineOffset);
    if (data.isEmpty())
        return;
    // The row's type is the head its photo line is written with: no blanks or tabs before it
    // (a line folded onto an empty line starts with the fold's blank), line breaks as blanks.
    // So the form shows the type that the rebuild writes and that reads back the same.
    const QString head = photoLineHead(part.toString());
    const int number = static_cast<int>(rows.size()) + 1;
    rows.push_back(PhotoEntry{photoLabel(head, number), std::move(data), head + QLatin1Char(':')});
}

PhotoEntry replacedPhotoRow(const PhotoEntry& row, QString data, PictureFormat format) {
    PhotoEntry replaced{row.PhotoLabel, std::move(data), withPictureFormat(row.PhotoType, format)};
    const auto part = [](const QString& type) { return QStringView(type).chopped(1); };
    const QStringView label(row.PhotoLabel);
    bool numbered = false;
    const int number = label.sliced(label.lastIndexOf(u' ') + 1).toInt(&numbered);
    if (numbered && replaced.PhotoType != row.PhotoType && row.PhotoType.endsWith(u':') &&
        row.PhotoLabel == photoLabel(part(row.PhotoType), number)) {
        replaced.PhotoLabel = photoLabel(part(replaced.PhotoType), number);
    }
    return replaced;
}

}  // namespace pennacle
