#include "vcard/photovalue.h"

#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"

#include <array>

#include <algorithm>
#include <optional>
#include <utility>

namespace pennacle {

QString photoLineHead(const QString& photoType) {
    QString head = photoType;
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head.at(i) == u'\r' || head.at(i) == u'\n') {
            head[i] = u' ';
        }
    }
    qsizetype blanks = 0;
    while (blanks < head.size() && (head.at(blanks) == u' ' || head.at(blanks) == u'\t'))
        ++blanks;
    return blanks > 0 ? head.sliced(blanks) : head;
}

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

}  // namespace

namespace {

// Whether a photo value is an address rather than Base64 data: the part says VALUE=URI or
// VALUE=URL, or the value opens with a scheme (Base64 has no ":").
bool isUriValue(QByteArrayView part, QByteArrayView value) {
    const QString head = QString::fromLatin1(part);
    if (indexOfIgnoringAsciiCase(head, QLatin1StringView("VALUE=UR")) >= 0)
        return true;
    const QByteArrayView trimmed = trimBlanks(value);
    const qsizetype colon = trimmed.indexOf(':');
    return colon > 0 && std::all_of(trimmed.begin(), trimmed.begin() + colon, [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// Where an address ends: with its logical line, folded lines included.
qsizetype uriValueEnd(QByteArrayView bytes, qsizetype lineStart, char lineBreak) {
    qsizetype lineEnd = physicalLineEnd(bytes, lineStart, lineBreak);
    while (lineEnd + 1 < bytes.size() && (bytes[lineEnd + 1] == ' ' || bytes[lineEnd + 1] == '\t'))
        lineEnd = physicalLineEnd(bytes, lineEnd + 1, lineBreak);
    return lineEnd;
}

// Where Base64 data end: at the first "=" (kept), but never in the next property or past the
// empty line that closes the value.
qsizetype base64ValueEnd(QByteArrayView bytes, qsizetype lineStart, char lineBreak) {
    for (bool firstLine = true;; firstLine = false) {
        const qsizetype lineEnd = physicalLineEnd(bytes, lineStart, lineBreak);
        const QByteArrayView line = bytes.sliced(lineStart, lineEnd - lineStart);
        if (!firstLine && (isBlankLine(line) || line.contains(':')))
            return lineStart;
        const qsizetype equals = line.indexOf('=');
        if (equals >= 0)
            return lineStart + equals + 1;
        if (lineEnd >= bytes.size())
            return bytes.size();
        lineStart = lineEnd + 1;
    }
}

}  // namespace

namespace {

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

}  // namespace

QString takePhotoData(const CardBytes& card, qsizetype lineOffset, QString* mediaType) {
    // The line's property part ends at its first ":" outside quotes; a part folded over
    // lines ends at the first ":" after it.
    const QByteArrayView bytes(card.bytes());
    const char lineBreak = lineBreakOf(bytes);
    const qsizetype firstEnd = physicalLineEnd(bytes, lineOffset, lineBreak);
    const QByteArrayView firstLine = bytes.sliced(lineOffset, firstEnd - lineOffset);
    const qsizetype colonInLine = propertyColonOf(firstLine);
    const qsizetype colon =
        colonInLine >= 0 ? lineOffset + colonInLine : bytes.indexOf(':', lineOffset);
    if (colon < 0)
        return QString();
    const qsizetype valueStart = colon + 1;
    const bool uri =
        colonInLine >= 0 &&
        isUriValue(firstLine.first(colonInLine),
                   bytes.sliced(valueStart, std::max(firstEnd, valueStart) - valueStart));
    const qsizetype end = uri ? uriValueEnd(bytes, valueStart, lineBreak)
                              : base64ValueEnd(bytes, valueStart, lineBreak);
    QByteArrayView value = bytes.sliced(valueStart, end - valueStart);
    if (uri)
        value = dataOfDataAddress(value, mediaType);
    return decodeText(withoutBlanksAndBreaks(value), card.encoding());
}

namespace {

struct FormatWord {
    QLatin1StringView word;
    std::optional<PictureFormat> format;  // none for a format never stored
};

constexpr FormatWord kFormatWords[] = {
    {QLatin1StringView("JPEG"), PictureFormat::Jpeg},
    {QLatin1StringView("JPG"), PictureFormat::Jpeg},
    {QLatin1StringView("PNG"), PictureFormat::Png},
    {QLatin1StringView("GIF"), PictureFormat::Gif},
    {QLatin1StringView("BMP"), std::nullopt},
};

// Each format's word and the head of a new picture of it, indexed by PictureFormat.
constexpr std::array<std::pair<QLatin1StringView, QLatin1StringView>, 3> kFormatNames = {{
    {QLatin1StringView("JPEG"), kAddedPhotoType},
    {QLatin1StringView("PNG"), QLatin1StringView("PHOTO;PNG;BASE64:")},
    {QLatin1StringView("GIF"), QLatin1StringView("PHOTO;GIF;BASE64:")},
}};

QLatin1StringView formatWord(PictureFormat format) {
    return kFormatNames[size_t(format)].first;
}

const FormatWord* knownFormatWord(QStringView word) {
    for (const FormatWord& known : kFormatWords) {
        if (word.compare(known.word, Qt::CaseInsensitive) == 0)
            return &known;
    }
    return nullptr;
}

// The word of a parameter that names a picture format, when it is a known one.
QStringView formatWordIn(QStringView parameter) {
    const QStringView value = photoTypeWordOf(parameter);
    return knownFormatWord(value) ? value : QStringView();
}

}  // namespace

QStringView photoTypeWordOf(QStringView parameter) {
    QStringView value = trimBlanks(parameter);
    const qsizetype equals = value.indexOf(u'=');
    if (equals >= 0) {
        const QStringView name = trimBlanks(value.first(equals));
        if (name.compare(QLatin1StringView("TYPE"), Qt::CaseInsensitive) != 0 &&
            name.compare(QLatin1StringView("MEDIATYPE"), Qt::CaseInsensitive) != 0) {
            return {};
        }
        value = trimBlanks(value.sliced(equals + 1));
    }
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        value = value.sliced(1, value.size() - 2);
    if (value.startsWith(QLatin1StringView("image/"), Qt::CaseInsensitive))
        value = value.sliced(6);
    return value;
}

QLatin1StringView addedPhotoType(PictureFormat format) {
    return kFormatNames[size_t(format)].second;
}

QString withPictureFormat(const QString& photoType, PictureFormat format) {
    const QStringView head(photoType);
    const QList<QStringView> pieces =
        splitPropertyPart(head.endsWith(u':') ? head.chopped(1) : head);
    QString named = photoType;
    // From the back, so that the places of the words before stay where they were.
    for (qsizetype i = pieces.size() - 1; i >= 1; --i) {
        const QStringView word = formatWordIn(pieces[i]);
        if (word.isEmpty() || knownFormatWord(word)->format == format)
            continue;
        const bool lower =
            std::none_of(word.begin(), word.end(), [](QChar c) { return c.isUpper(); });
        const QLatin1StringView replacement = formatWord(format);
        named.replace(word.data() - head.data(), word.size(),
                      lower ? QString(replacement).toLower() : QString(replacement));
    }
    return named;
}

namespace {

bool isBase64Alphabet(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'+' || c == u'/';
}

// Base64 data or something else, a URI say.
bool isBase64Text(QStringView data) {
    return std::all_of(data.begin(), data.end(),
                       [](QChar c) { return c == u'=' || isBase64Alphabet(c); });
}

}  // namespace

QString paddedBase64(const QString& data) {
    const auto isAlphabet = isBase64Alphabet;
    qsizetype equals = 0;
    bool innerEquals = false;
    for (const QChar c : data) {
        if (c == u'=') {
            ++equals;
        } else if (!isAlphabet(c)) {
            return data;  // no Base64 text (a URI, say): not touched
        } else if (equals > 0) {
            innerEquals = true;
        }
    }
    const qsizetype content = data.size() - equals;
    const qsizetype kept = content % 4 == 1 ? content - 1 : content;
    const qsizetype padding = (4 - kept % 4) % 4;
    if (!innerEquals && kept == content && equals == padding)
        return data;  // already valid: shared, not copied
    QString padded;
    padded.reserve(kept + padding);
    if (!innerEquals) {
        padded.append(QStringView(data).first(kept));
    } else {
        for (const QChar c : data) {
            if (c != u'=' && padded.size() < kept)
                padded.append(c);
        }
    }
    padded.append(QString(padding, u'='));
    return padded;
}

namespace {

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
