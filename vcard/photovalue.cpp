#include "vcard/photovalue.h"

#include "vcard/cardlines.h"

#include <algorithm>

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

QString paddedBase64(const QString& data) {
    const auto isAlphabet = [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
               c == u'+' || c == u'/';
    };
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

QString GetImageFromList(const std::vector<PhotoEntry>& photos, Reporter& reporter) {
    Guard g(reporter, procedureTag("modVCard", "GetImageFromList"));
    QString block;
    g(100, [&] { block.reserve(photoBlockLength(photos)); });
    for (const PhotoEntry& photo : photos) {
        const QString data = paddedBase64(photoLineData(photo.PhotoData));
        if (!g.test(102, [&] { return !data.isEmpty(); })) {
            continue;
        }
        const QString head = photoLineHead(photo.PhotoType);
        // A continuation line with a colon would read as a property line of its own, so data
        // with colons (an address rather than Base64) keeps them all on the first line.
        const qsizetype first =
            std::min(std::max(firstLineDataLength(head), data.lastIndexOf(u':') + 1), data.size());
        g(104, [&] {
            block.append(head);
            block.append(QStringView(data).first(first));
            block.append(u"\r\n");
        });
        g(106, [&] {
            for (qsizetype j = first; j < data.size(); j += kPhotoLineWidth) {
                block.append(u"  ");
                block.append(
                    QStringView(data).sliced(j, std::min(kPhotoLineWidth, data.size() - j)));
                block.append(u"\r\n");
            }
        });
    }
    return block;
}

}  // namespace pennacle
