#include "cards/displayname.h"

#include "cards/cardlines.h"
#include "cards/propertyline.h"

#include <QList>

#include <algorithm>
#include <optional>
#include <vector>

namespace pennacle {

namespace {

const QString kNoName = QStringLiteral("(no name)");

struct NameParts {
    QString last;
    QString first;
    QString middle;
};

// What a card offers for its name, in the order that the fallbacks try it.
struct NameSources {
    NameParts name;
    QString formatted;
    QString company;
    QString email;
    QString phone;
    // Any property besides BEGIN, VERSION, END and empty N and FN lines.
    bool holdsProperty = false;
};

// The value of a name line runs to its second colon, unlike the loader's values; an escaped
// colon of a 3.0/4.0 card does not end it.
QStringView nameValueOf(QStringView value, bool escapes) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (escapes && value[i] == u'\\') {
            ++i;
        } else if (value[i] == u':') {
            return value.left(i);
        }
    }
    return value;
}

QString cleanComponent(const PropertyLine& line, QStringView component) {
    return line.shown(stripCR(trimBlanks(component)), Piece::Component);
}

QString trimmedText(QStringView text) {
    return trimBlanks(stripCR(text)).toString();
}

// A later name line replaces the last name, and the first and middle names only when it has
// those components. Returns whether the line holds any component at all.
bool takeNameLine(const PropertyLine& line, NameParts& name) {
    const QList<QStringView> components =
        line.components(trimBlanks(nameValueOf(line.value(), line.escapes())));
    name.last = cleanComponent(line, components[0]);
    if (components.size() >= 2) {
        name.first = cleanComponent(line, components[1]);
    }
    if (components.size() >= 3) {
        name.middle = cleanComponent(line, components[2]);
    }
    return std::any_of(components.begin(), components.end(),
                       [](QStringView c) { return !stripCR(trimBlanks(c)).isEmpty(); });
}

void takeLine(QStringView text, const CardSyntax& syntax, NameSources& sources) {
    if (text.isEmpty() || !isPropertyLine(text)) {
        return;
    }
    const PropertyLine line(text, syntax);
    const QStringView part = line.part();
    if (keyIs(part, QLatin1String("N"))) {
        sources.holdsProperty |= takeNameLine(line, sources.name);
    } else if (keyIs(part, QLatin1String("FN"))) {
        const QString formatted = formattedNameOf(line);
        sources.holdsProperty |= !formatted.isEmpty();
        if (sources.formatted.isEmpty())
            sources.formatted = formatted;
    } else if (keyIs(part, QLatin1String("BEGIN")) || keyIs(part, QLatin1String("VERSION")) ||
               keyIs(part, QLatin1String("END"))) {
        return;
    } else {
        // The first non-empty text of a kind wins.
        sources.holdsProperty = true;
        if (sources.company.isEmpty() && keyIs(part, QLatin1String("ORG"))) {
            const QStringView first = line.components(trimBlanks(line.value())).constFirst();
            sources.company = trimmedText(line.shown(stripCR(trimBlanks(first)), Piece::Component));
        } else if (sources.email.isEmpty() && keyIs(part, QLatin1String("EMAIL"))) {
            sources.email = trimmedText(line.shown(stripCR(line.rawValue()), Piece::Whole));
        } else if (sources.phone.isEmpty() && keyIs(part, QLatin1String("TEL"))) {
            sources.phone = trimmedText(line.shown(stripCR(line.value()), Piece::Whole));
        }
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

QString chooseName(const NameSources& sources) {
    for (const QString& name : {composeName(sources.name), sources.formatted, sources.company,
                                sources.email, sources.phone}) {
        if (!name.isEmpty())
            return name;
    }
    return sources.holdsProperty ? kNoName : QString();
}

}  // namespace

QString formattedNameOf(const PropertyLine& line) {
    return trimmedText(line.shown(stripCR(trimBlanks(line.value())), Piece::Whole));
}

QString GetName(const QString& card, Reporter& reporter) {
    Guard g(reporter, procedureTag("modVCard", "GetName"));
    NameSources sources;
    std::vector<CardLine> lines;
    std::optional<CardSyntax> syntax;
    g(100, [&] {
        lines = splitCardLines(card);
        syntax.emplace(card);
    });
    for (const CardLine& line : lines) {
        g(102, [&] { takeLine(line.text, *syntax, sources); });
    }
    QString result;
    g(104, [&] { result = chooseName(sources); });
    return result;
}

}  // namespace pennacle
