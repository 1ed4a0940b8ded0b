#include "vcard/valuespan.h"

#include "vcard/cardlines.h"

#include <algorithm>

namespace pennacle {

ValueStart valueStartAt(QByteArrayView card, qsizetype lineOffset, char lineBreak) {
    // The line's property part ends at its first ":" outside quotes; a part folded over
    // lines ends at the first ":" after it.
    const qsizetype firstEnd = physicalLineEnd(card, lineOffset, lineBreak);
    const QByteArrayView firstLine = card.sliced(lineOffset, firstEnd - lineOffset);
    const qsizetype colonInLine = propertyColonOf(firstLine);
    if (colonInLine >= 0) {
        return {lineOffset + colonInLine + 1, firstLine.first(colonInLine),
                firstLine.sliced(colonInLine + 1)};
    }
    const qsizetype colon = card.indexOf(':', lineOffset);
    return {colon < 0 ? -1 : colon + 1, std::nullopt, {}};
}

qsizetype foldedLineEnd(QByteArrayView card, qsizetype start, char lineBreak) {
    qsizetype lineEnd = physicalLineEnd(card, start, lineBreak);
    while (lineEnd + 1 < card.size() && (card[lineEnd + 1] == ' ' || card[lineEnd + 1] == '\t'))
        lineEnd = physicalLineEnd(card, lineEnd + 1, lineBreak);
    return lineEnd;
}

qsizetype base64ValueEnd(QByteArrayView card, qsizetype start, char lineBreak) {
    for (bool firstLine = true;; firstLine = false) {
        const qsizetype lineEnd = physicalLineEnd(card, start, lineBreak);
        const QByteArrayView line = card.sliced(start, lineEnd - start);
        if (!firstLine && (isBlankLine(line) || line.contains(':')))
            return start;
        const qsizetype equals = line.indexOf('=');
        if (equals >= 0)
            return start + equals + 1;
        if (lineEnd >= card.size())
            return card.size();
        start = lineEnd + 1;
    }
}

bool opensWithScheme(QByteArrayView value) {
    const QByteArrayView trimmed = trimBlanks(value);
    const qsizetype colon = trimmed.indexOf(':');
    return colon > 0 && std::all_of(trimmed.begin(), trimmed.begin() + colon, [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

}  // namespace pennacle
