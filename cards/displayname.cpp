#include "cards/displayname.h"

#include "cards/propertyreader.h"
#include "cards/propertyvalues.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"

#include <QList>

#include <algorithm>
#include <array>
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

constexpr int kFallbackCount = 4;

// The rank of a fallback, 0 first.
int rankOf(NameFallback fallback) {
    return int(fallback) - int(NameFallback::FormattedName);
}

// What one pass over the card finds. The fallbacks are decoded only when N gives no name, from
// the first line of their kind on.
struct NameSources {
    NameParts name;
    std::array<qsizetype, kFallbackCount> firstLine{-1, -1, -1, -1};
    // Any property besides BEGIN, VERSION, END and N and FN lines (an FN with text names the
    // card anyway).
    bool holdsProperty = false;
};

// A later name line replaces the last name, and the first and middle names only when it has
// those components. Returns whether the line holds any component at all.
bool takeNameLine(const PropertyLine& line, NameParts& name) {
    const QList<QStringView> components =
        line.components(trimBlanks(valueBeforeColon(line.value(), line.escapes())));
    name.last = shownComponent(line, components[0]);
    if (components.size() >= 2) {
        name.first = shownComponent(line, components[1]);
    }
    if (components.size() >= 3) {
        name.middle = shownComponent(line, components[2]);
    }
    // A component counts when anything but CR characters is left of it once trimmed.
    return std::any_of(components.begin(), components.end(),
                       [](QStringView c) { return !isBlankLine(trimBlanks(c)); });
}

void takeLine(PropertyReader& lines, qsizetype index, NameSources& sources) {
    if (!lines.isProperty())
        return;
    const PropertyRow* row = lines.row();
    if (row && row->rule == Rule::Name) {
        sources.holdsProperty |= takeNameLine(lines.property(), sources.name);
        return;
    }
    if (isFrameProperty(lines.property().part()))
        return;
    const NameFallback fallback = row ? row->fallback : NameFallback::None;
    sources.holdsProperty |= fallback != NameFallback::FormattedName;
    if (fallback != NameFallback::None && sources.firstLine[size_t(rankOf(fallback))] < 0)
        sources.firstLine[size_t(rankOf(fallback))] = index;
}

// The text that a line of a fallback kind offers as a name.
QString fallbackText(const PropertyLine& line, NameFallback fallback) {
    switch (fallback) {
        case NameFallback::None:
            break;
        case NameFallback::FormattedName:
            return formattedNameOf(line);
        case NameFallback::Company: {
            const QStringView first = line.components(trimBlanks(line.value())).constFirst();
            return trimmedWithoutCR(shownComponent(line, first));
        }
        case NameFallback::Email:
            return trimmedWithoutCR(emailAddressOf(line));
        case NameFallback::Phone:
            return trimmedWithoutCR(phoneNumberOf(line));
    }
    return QString();
}

// The first non-empty text of a kind, from its first line (counted from 0) on: the card is
// walked again rather than its lines kept, which a card of many short lines could not afford.
QString firstFallbackText(const CardBytes& card, qsizetype from, NameFallback fallback) {
    if (from < 0)
        return QString();
    PropertyReader lines(card);
    for (qsizetype i = 0; lines.next(); ++i) {
        if (i < from || !lines.isProperty())
            continue;
        const PropertyRow* row = lines.row();
        if (!row || row->fallback != fallback)
            continue;
        QString name = fallbackText(lines.property(), fallback);
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

QString composeName(const NameParts& name) {
    QString joined;
    joined.reserve(name.last.size() + name.first.size() + name.middle.size() + 3);
    if (!name.last.isEmpty()) {
        joined.append(name.last).append(u", ");
    }
    joined.append(name.first).append(u' ').append(name.middle);
    const QStringView trimmed = trimBlanks(joined);
    const qsizetype first = trimmed.data() - QStringView(joined).data();
    joined.truncate(first + trimmed.size());
    joined.remove(0, first);
    return joined;
}

QString chooseName(const NameSources& sources, const CardBytes& card) {
    QString name = composeName(sources.name);
    for (int k = 0; name.isEmpty() && k < kFallbackCount; ++k) {
        const auto fallback = NameFallback(k + int(NameFallback::FormattedName));
        name = firstFallbackText(card, sources.firstLine[size_t(k)], fallback);
    }
    if (name.isEmpty() && sources.holdsProperty)
        name = kNoName;
    return name;
}

// The name that the card's N lines give, found without looking at any other line closely:
// what most cards have. Empty when they give none; then the whole card is read.
QString nameFromNameLines(const CardBytes& card) {
    PropertyReader lines(card);
    NameParts name;
    while (lines.next()) {
        const PropertyRow* row = lines.row();
        if (row && row->rule == Rule::Name)
            takeNameLine(lines.property(), name);
    }
    return composeName(name);
}

}  // namespace

QString listedName(const CardBytes& card, Reporter& reporter) {
    QString name = GetName(card, reporter);
    return name.isEmpty() ? kNoName : name;
}

QString GetName(const CardBytes& card, Reporter& reporter) {
    // Most cards are named by their N lines; any failure there is left to the full reading,
    // which reports it.
    try {
        QString name = nameFromNameLines(card);
        if (!name.isEmpty())
            return name;
    } catch (...) {
    }
    static const QString tag = procedureTag("modVCard", "GetName");
    Guard g(reporter, tag);
    NameSources sources;
    std::optional<PropertyReader> lines;
    g(100, [&] { lines.emplace(card); });
    for (qsizetype i = 0; lines && lines->next(); ++i) {
        g(102, [&] { takeLine(*lines, i, sources); });
    }
    QString result;
    g(104, [&] {
        if (lines)
            result = chooseName(sources, card);
    });
    return result;
}

}  // namespace pennacle
