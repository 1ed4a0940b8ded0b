#include "cards/photohead.h"

#include "cards/mediaformats.h"
#include "cards/propertytable.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"

#include <algorithm>

namespace pennacle {

namespace {

// The table's row of a word that a photo head takes for its picture's format.
const MediaFormat* photoFormatOfWord(QStringView word) {
    const MediaFormat* format = mediaFormatOfWord(word);
    return format && format->namesPhotoFormat ? format : nullptr;
}

// The word of a parameter that names a picture format, when it is a known one.
QStringView formatWordIn(QStringView parameter) {
    const QStringView value = photoTypeWordOf(parameter);
    return photoFormatOfWord(value) ? value : QStringView();
}

}  // namespace

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

QString addedPhotoType(PictureFormat format) {
    QString head(propertyName(Rule::Photo));
    head.append(u';').append(wordOfPictureFormat(format)).append(QLatin1StringView(";BASE64:"));
    return head;
}

QString withPictureFormat(const QString& photoType, PictureFormat format) {
    const QStringView head(photoType);
    const QList<QStringView> pieces =
        splitPropertyPart(head.endsWith(u':') ? head.chopped(1) : head);
    QString named = photoType;
    // From the back, so that the places of the words before stay where they were.
    for (qsizetype i = pieces.size() - 1; i >= 1; --i) {
        const QStringView word = formatWordIn(pieces[i]);
        if (word.isEmpty() || photoFormatOfWord(word)->picture == format)
            continue;
        const bool lower =
            std::none_of(word.begin(), word.end(), [](QChar c) { return c.isUpper(); });
        const QString replacement(wordOfPictureFormat(format));
        named.replace(word.data() - head.data(), word.size(),
                      lower ? replacement.toLower() : replacement);
    }
    return named;
}

}  // namespace pennacle
