#include "cards/displayname.h"

#include "cards/cardlines.h"
#include "cards/quotedprintable.h"

#include <QList>

#include <vector>

namespace pennacle {

namespace {

struct NameParts {
    QString last;
    QString first;
    QString middle;
};

// The value of a name line runs to the second colon, unlike the loader's values.
QStringView nameValueOf(QStringView line) {
    const QStringView value = valueOf(line);
    const qsizetype colon = value.indexOf(u':');
    return colon < 0 ? value : value.left(colon);
}

QString cleanComponent(QStringView component, bool quotedPrintable, const QString& charset) {
    const QString text = stripCR(trimBlanks(component));
    return quotedPrintable ? DecodeQuotedPrintable(text, charset) : text;
}

// A later name line replaces the last name, and the first and middle names only when it has
// those components.
void takeNameLine(QStringView line, NameParts& name) {
    if (line.isEmpty() || !isPropertyLine(line)) {
        return;
    }
    const QStringView property = propertyPartOf(line);
    if (!keyIs(property, QLatin1String("N"))) {
        return;
    }
    const QList<QStringView> components = trimBlanks(nameValueOf(line)).split(u';');
    const bool quotedPrintable = isQuotedPrintable(property);
    const QString charset = quotedPrintable ? charsetOf(property) : QString();
    name.last = cleanComponent(components[0], quotedPrintable, charset);
    if (components.size() >= 2) {
        name.first = cleanComponent(components[1], quotedPrintable, charset);
    }
    if (components.size() >= 3) {
        name.middle = cleanComponent(components[2], quotedPrintable, charset);
    }
}

QString composeName(const NameParts& name) {
    QString joined;
    joined.reserve(name.last.size() + name.first.size() + name.middle.size() + 3);
    if (!name.last.isEmpty()) {
        joined.append(name.last).append(u", ");
    }
    joined.append(name.first).append(u' ').append(name.middle);
    return trimBlanks(joined).toString();
}

}  // namespace

QString GetName(const QString& card, Reporter& reporter) {
    Guard g(reporter, procedureTag("modVCard", "GetName"));
    NameParts name;
    std::vector<CardLine> lines;
    g(100, [&] { lines = splitCardLines(card); });
    for (const CardLine& line : lines) {
        g(102, [&] { takeNameLine(line.text, name); });
    }
    QString result;
    g(104, [&] { result = composeName(name); });
    return result;
}

}  // namespace pennacle
