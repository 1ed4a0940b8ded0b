#include "cards/photolines.h"

#include "cards/propertytable.h"
#include "vcard/photovalue.h"
#include "vcard/propertyline.h"

#include <algorithm>

namespace pennacle {

namespace {

QStringView typeWordsCaption(QStringView propertyPart) {
    const QList<QStringView> pieces = splitPropertyPart(propertyPart);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        if (const QStringView word = photoTypeWordOf(pieces[i]); !word.isEmpty())
            return word;
    }
    return {};
}

// The 2.1 caption: the property part's second ";" piece.
QStringView secondPiece(QStringView propertyPart) {
    const qsizetype first = propertyPart.indexOf(u';');
    if (first < 0)
        return {};
    const qsizetype second = propertyPart.indexOf(u';', first + 1);
    return second < 0 ? propertyPart.mid(first + 1)
                      : propertyPart.mid(first + 1, second - first - 1);
}

bool isFormatWord(QStringView word) {
    return std::all_of(word.begin(), word.end(), [](QChar c) {
        return c.isDigit() || (c.unicode() < 0x80 && c.isLetter()) || c == u'-';
    });
}

// The head a photo line writes its Base64 data under: its format from the media type
// ("image/png" gives PNG) unless a TYPE says one, and the Base64 mark.
QString base64PhotoHead(const QString& head, QStringView mediaType) {
    QString written = head;
    if (indexOfIgnoringAsciiCase(head, QLatin1StringView("TYPE=")) < 0) {
        const qsizetype slash = mediaType.indexOf(u'/');
        const QStringView format = trimBlanks(mediaType.sliced(slash + 1));
        if (!format.isEmpty() && isFormatWord(format))
            written += QStringLiteral(";TYPE=") + format.toString().toUpper();
    }
    if (indexOfIgnoringAsciiCase(head, QLatin1StringView("BASE64")) < 0 &&
        indexOfIgnoringAsciiCase(head, QLatin1StringView("ENCODING=B")) < 0)
        written += QStringLiteral(";ENCODING=BASE64");
    return written;
}

}  // namespace

QString photoLabel(QStringView propertyPart, int number, bool typeWords) {
    const QStringView piece =
        typeWords ? typeWordsCaption(propertyPart) : secondPiece(propertyPart);
    const QString caption = piece.isEmpty() ? QStringLiteral("Photo")
                            : typeWords     ? piece.toString().toUpper()
                                            : piece.toString();
    return caption + QLatin1Char(' ') + QString::number(number);
}

void addPhotoRow(std::vector<PhotoEntry>& rows, const CardBytes& card, const CardLine& line) {
    addPhotoRow(rows, card, line.offset, propertyPartOf(line.text));
}

void addPhotoRow(std::vector<PhotoEntry>& rows, const CardBytes& card, qsizetype lineOffset,
                 QStringView part) {
    QString mediaType;
    QString data = takePhotoData(card, lineOffset, &mediaType);
    if (data.isEmpty())
        return;
    // The row's type is the head its photo line is written with: no blanks or tabs before it
    // (a line folded onto an empty line starts with the fold's blank), line breaks as blanks.
    // So the form shows the type that the rebuild writes and that reads back the same.
    QString head = photoLineHead(part.toString());
    // A picture given as a data address is written as Base64 data of its own type.
    if (!mediaType.isEmpty())
        head = base64PhotoHead(head, mediaType);
    const int number = static_cast<int>(rows.size()) + 1;
    const bool typeWords = foldingDropsBlank(card.bytes());
    rows.push_back(
        PhotoEntry{photoLabel(head, number, typeWords), std::move(data), head + QLatin1Char(':')});
}

PhotoEntry replacedPhotoRow(const PhotoEntry& row, QString data, PictureFormat format) {
    PhotoEntry replaced{row.PhotoLabel, std::move(data), withPictureFormat(row.PhotoType, format)};
    const auto part = [](const QString& type) { return QStringView(type).chopped(1); };
    const QStringView label(row.PhotoLabel);
    bool numbered = false;
    const int number = label.sliced(label.lastIndexOf(u' ') + 1).toInt(&numbered);
    if (!numbered || replaced.PhotoType == row.PhotoType || !row.PhotoType.endsWith(u':'))
        return replaced;
    // A caption made from the part, in either version's way, follows it.
    for (const bool typeWords : {false, true}) {
        if (row.PhotoLabel == photoLabel(part(row.PhotoType), number, typeWords)) {
            replaced.PhotoLabel = photoLabel(part(replaced.PhotoType), number, typeWords);
            break;
        }
    }
    return replaced;
}

}  // namespace pennacle
