#include "cards/cardlines.h"

#include "cards/photolines.h"

namespace pennacle {

namespace {

constexpr QChar kLf = u'\n';
constexpr QChar kCr = u'\r';

bool startsWithFoldBlank(QStringView line) {
    return !line.isEmpty() && (line.front() == u' ' || line.front() == u'\t');
}

// Tracks where a growing logical line has its first ":" without searching it twice.
class ColonTracker {
public:
    qsizetype colonIn(const QString& text) {
        if (colon_ < 0) {
            colon_ = text.indexOf(u':', searchedUpTo_);
            searchedUpTo_ = text.size();
            if (colon_ >= 0) {
                // Base64 photo data ends in "=" padding, which is never a soft line break.
                const QStringView part = QStringView(text).left(colon_);
                quotedPrintable_ = isQuotedPrintable(part) && !isPhotoProperty(part);
            }
        }
        return colon_;
    }
    bool quotedPrintable() const { return quotedPrintable_; }

private:
    qsizetype colon_ = -1;
    qsizetype searchedUpTo_ = 0;
    bool quotedPrintable_ = false;
};

// A quoted-printable value ending in "=" (before its CR) goes on with the next line.
bool endsInSoftBreak(const QString& text, ColonTracker& colon) {
    const qsizetype at = colon.colonIn(text);
    if (at < 0 || !colon.quotedPrintable())
        return false;
    const QStringView body = withoutLineEnd(text);
    return body.size() > at + 1 && body.back() == u'=';
}

void chopLineEnd(QString& text) {
    if (text.endsWith(kCr))
        text.chop(1);
}

}  // namespace

std::vector<CardLine> splitCardLines(const QString& card) {
    std::vector<CardLine> lines;
    if (card.isEmpty())
        return lines;
    const bool dropBlank = foldingDropsBlank(card);
    const qsizetype size = card.size();
    qsizetype start = 0;
    for (;;) {
        qsizetype end = physicalLineEnd(card, start);
        CardLine line{card.mid(start, end - start), start};
        ColonTracker colon;
        while (end < size) {
            const qsizetype nextStart = end + 1;
            const qsizetype nextEnd = physicalLineEnd(card, nextStart);
            const QStringView next = QStringView(card).mid(nextStart, nextEnd - nextStart);
            if (endsInSoftBreak(line.text, colon)) {
                chopLineEnd(line.text);
                line.text.chop(1);  // the "=" of the soft break
                line.text.append(next);
            } else if (startsWithFoldBlank(next)) {
                chopLineEnd(line.text);
                line.text.append(dropBlank ? next.mid(1) : next);
            } else {
                break;
            }
            end = nextEnd;
        }
        lines.push_back(std::move(line));
        if (end >= size)
            break;
        start = end + 1;
    }
    return lines;
}

bool foldingDropsBlank(const QString& card) {
    const qsizetype size = card.size();
    for (qsizetype start = 0; start <= size;) {
        const qsizetype end = physicalLineEnd(card, start);
        const QStringView line = QStringView(card).mid(start, end - start);
        if (isPropertyLine(line) && keyIs(propertyPartOf(line), QLatin1String("VERSION"))) {
            const QString version = stripCR(trimBlanks(valueOf(line)));
            const QStringView number = trimBlanks(version);
            return number == u"3.0" || number == u"4.0";
        }
        start = end + 1;
    }
    return false;
}

qsizetype physicalLineEnd(QStringView text, qsizetype start) {
    const qsizetype lf = text.indexOf(kLf, start);
    return lf < 0 ? text.size() : lf;
}

bool isPropertyLine(QStringView line) {
    return line.contains(u':');
}

bool isBlankLine(QStringView line) {
    for (const QChar c : line) {
        if (c != kCr)
            return false;
    }
    return true;
}

QStringView propertyPartOf(QStringView line) {
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? line : line.left(colon);
}

QStringView valueOf(QStringView line) {
    const qsizetype colon = line.indexOf(u':');
    return colon < 0 ? QStringView() : line.mid(colon + 1);
}

QStringView withoutLineEnd(QStringView text) {
    return text.endsWith(kCr) ? text.chopped(1) : text;
}

QStringView withoutGroup(QStringView propertyPart) {
    const qsizetype semicolon = propertyPart.indexOf(u';');
    const QStringView name = semicolon < 0 ? propertyPart : propertyPart.left(semicolon);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? propertyPart : propertyPart.mid(dot + 1);
}

QStringView trimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

QString stripCR(QStringView text) {
    QString result = text.toString();
    result.remove(kCr);
    return result;
}

bool keyIs(QStringView propertyPart, QLatin1String key) {
    const QStringView part = withoutGroup(propertyPart);
    const qsizetype semicolon = part.indexOf(u';');
    const QStringView name = semicolon < 0 ? part : part.left(semicolon);
    return trimBlanks(name).compare(key, Qt::CaseInsensitive) == 0;
}

bool nameIs(QStringView propertyPart, QLatin1String name) {
    return trimBlanks(withoutGroup(propertyPart)).compare(name, Qt::CaseInsensitive) == 0;
}

bool hasParameter(QStringView propertyPart, QLatin1String text) {
    return withoutGroup(propertyPart).contains(text, Qt::CaseInsensitive);
}

bool isQuotedPrintable(QStringView propertyPart) {
    return hasParameter(propertyPart, QLatin1String("ENCODING=QUOTED-PRINTABLE"));
}

QString charsetOf(QStringView propertyPart) {
    const QStringView part = withoutGroup(propertyPart);
    const QLatin1String marker("CHARSET=");
    const qsizetype at = part.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    QStringView value = part.mid(at + marker.size());
    const qsizetype semicolon = value.indexOf(u';');
    if (semicolon >= 0)
        value = value.left(semicolon);
    value = trimBlanks(value);
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        value = value.mid(1, value.size() - 2);
    }
    return value.toString();
}

}  // namespace pennacle
