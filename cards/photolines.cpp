#include "cards/photolines.h"

#include "cards/photohead.h"
#include "core/utf8.h"
#include "vcard/base64.h"
#include "vcard/propertyline.h"
#include "vcard/valuespan.h"

#include <algorithm>
#include <array>

namespace pennacle {

namespace {

// Base64 never holds blanks or line breaks; they come from folding the value over lines.
QByteArray withoutBlanksAndBreaks(QByteArrayView bytes) {
    QByteArray data(bytes.size(), Qt::Uninitialized);
    char* const begin = data.data();
    char* out = begin;
    for (const char c : bytes) {
        *out = c;
        out += c != ' ' && c != '\t' && c != '\r' && c != '\n';
    }
    data.truncate(out - begin);
    return data;
}

// Whether a photo value is an address rather than Base64 data: the part says VALUE=URI or
// VALUE=URL, or the value opens with a scheme.
bool isUriValue(QByteArrayView part, QByteArrayView value) {
    const QString head = QString::fromLatin1(part);
    return indexOfIgnoringAsciiCase(head, QLatin1StringView("VALUE=UR")) >= 0 ||
           opensWithScheme(value);
}

// The Base64 data of a "data:<media type>;base64,<data>" address (as vCard 4.0 carries a
// picture), and its media type; the address itself when it is no such address.
QByteArrayView dataOfDataAddress(QByteArrayView address, QString* mediaType) {
    static constexpr QByteArrayView kScheme = "data:";
    static constexpr QByteArrayView kMarker = ";base64,";
    const QByteArrayView trimmed = address.trimmed();
    if (trimmed.size() < kScheme.size() ||
        trimmed.first(kScheme.size()).compare(kScheme, Qt::CaseInsensitive) != 0)
        return address;
    for (qsizetype at = trimmed.indexOf(';'); at >= 0; at = trimmed.indexOf(';', at + 1)) {
        if (trimmed.size() - at >= kMarker.size() &&
            trimmed.sliced(at, kMarker.size()).compare(kMarker, Qt::CaseInsensitive) == 0) {
            if (mediaType) {
                const QByteArrayView type = trimmed.sliced(kScheme.size(), at - kScheme.size());
                *mediaType = QString::fromLatin1(type.data(), type.size());
            }
            return trimmed.sliced(at + kMarker.size());
        }
    }
    return address;
}

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

QString takePhotoData(const CardBytes& card, qsizetype lineOffset, QString* mediaType) {
    const QByteArrayView bytes(card.bytes());
    const char lineBreak = lineBreakOf(bytes);
    const ValueStart start = valueStartAt(bytes, lineOffset, lineBreak);
    if (start.at < 0)
        return QString();
    const bool uri = start.part && isUriValue(*start.part, start.firstLine);
    const qsizetype end = uri ? foldedLineEnd(bytes, start.at, lineBreak)
                              : base64ValueEnd(bytes, start.at, lineBreak);
    QByteArrayView value = bytes.sliced(start.at, end - start.at);
    if (uri)
        value = dataOfDataAddress(value, mediaType);
    return decodeText(withoutBlanksAndBreaks(value), card.encoding());
}

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

PhotoEntry addedPhotoRow(qsizetype rowsBefore, QString data, PictureFormat format) {
    return PhotoEntry{QStringLiteral("Photo") + QString::number(rowsBefore + 1), std::move(data),
                      addedPhotoType(format)};
}

namespace {

bool isBlankOrBreak(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Photo data never holds blanks or line breaks (reading drops them): written, they would start
// a continuation line or end the line early. The text is copied only when it has some.
QString photoLineData(const QString& data) {
    if (std::none_of(data.begin(), data.end(), isBlankOrBreak))
        return data;
    QString kept;
    kept.reserve(data.size());
    for (const QChar c : data) {
        if (!isBlankOrBreak(c))
            kept.append(c);
    }
    return kept;
}

qsizetype firstLineDataLength(const QString& head) {
    // A long property part leaves no room for data; the data then starts on the next line
    // rather than being cut or making the first line longer.
    return std::max<qsizetype>(0, kPhotoLineWidth - head.size());
}

qsizetype photoBlockLength(const std::vector<PhotoEntry>& photos) {
    qsizetype length = 0;
    for (const PhotoEntry& photo : photos) {
        // Padding adds at most two characters.
        const qsizetype data = photo.PhotoData.size() + 2;
        const qsizetype rest = std::max<qsizetype>(0, data - firstLineDataLength(photo.PhotoType));
        const qsizetype continuations = (rest + kPhotoLineWidth - 1) / kPhotoLineWidth;
        length += photo.PhotoType.size() + data + 2 + continuations * 4;
    }
    return length;
}

// The lines of large photos as last written, each with the data and type it was written from.
// Typing in a form rebuilds its card on every key: a photo of megabytes is encoded and folded
// once, not per key. The form's rows share their data from one rebuild to the next, so a row
// is known by its data's storage: no comparison of megabytes either.
class KeptPhotoLines {
public:
    const QByteArray* find(const PhotoEntry& photo) const {
        for (const Kept& kept : kept_) {
            if (kept.data.isSharedWith(photo.PhotoData) && kept.type == photo.PhotoType)
                return &kept.lines;
        }
        return nullptr;
    }

    void keep(const PhotoEntry& photo, const QByteArray& lines) {
        if (photo.PhotoData.size() < kWorthKeeping)
            return;
        std::rotate(kept_.rbegin(), kept_.rbegin() + 1, kept_.rend());
        kept_.front() = Kept{photo.PhotoData, photo.PhotoType, lines};
    }

private:
    static constexpr qsizetype kWorthKeeping = qsizetype(1) << 16;
    struct Kept {
        QString data;
        QString type;
        QByteArray lines;
    };
    std::array<Kept, 4> kept_;
};

KeptPhotoLines& keptPhotoLines() {
    thread_local KeptPhotoLines kept;
    return kept;
}

}  // namespace

void appendPhotoBlock(QByteArray& block, const std::vector<PhotoEntry>& photos,
                      Reporter& reporter) {
    Guard g(reporter, procedureTag("modVCard", "GetImageFromList"));
    g(100, [&] { block.reserve(block.size() + photoBlockLength(photos)); });
    for (const PhotoEntry& photo : photos) {
        if (const QByteArray* kept = keptPhotoLines().find(photo)) {
            g(104, [&] { block.append(*kept); });
            continue;
        }
        const QString data = paddedBase64(photoLineData(photo.PhotoData));
        if (!g.test(102, [&] { return !data.isEmpty(); })) {
            continue;
        }
        const QString head = photoLineHead(photo.PhotoType);
        // Only Base64 is folded: readers join a folded URI with the fold's blanks in it.
        const qsizetype first =
            isBase64Text(data) ? std::min(firstLineDataLength(head), data.size()) : data.size();
        const qsizetype start = block.size();
        int written = 0;  // of the two steps, to keep only whole lines
        g(104, [&] {
            appendUtf8(block, head);
            appendUtf8(block, QStringView(data).first(first));
            block.append("\r\n");
            ++written;
        });
        g(106, [&] {
            for (qsizetype j = first; j < data.size(); j += kPhotoLineWidth) {
                block.append("  ");
                appendUtf8(block,
                           QStringView(data).sliced(j, std::min(kPhotoLineWidth, data.size() - j)));
                block.append("\r\n");
            }
            ++written;
        });
        if (written == 2)
            keptPhotoLines().keep(photo, block.sliced(start));
    }
}

QString GetImageFromList(const std::vector<PhotoEntry>& photos, Reporter& reporter) {
    QByteArray block;
    appendPhotoBlock(block, photos, reporter);
    return QString::fromUtf8(block);
}

}  // namespace pennacle
