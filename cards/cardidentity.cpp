#include "cards/cardidentity.h"

#include "cards/propertyreader.h"

#include <QCryptographicHash>

#include <optional>

namespace pennacle {

namespace {

struct FoundLine {
    qsizetype start = -1;  // where the line starts in the card's bytes
    qsizetype end = -1;    // its line break, or the card's size
    QString value;
};

// The first line whose key is `key`.
std::optional<FoundLine> findLine(const CardBytes& card, QLatin1StringView key) {
    PropertyReader lines(card);
    while (lines.next()) {
        if (lines.keyIs(key))
            return FoundLine{lines.offset(), lines.endOffset(),
                             trimmedWithoutCR(withoutLineEnd(valueOf(lines.text())))};
    }
    return std::nullopt;
}

QByteArray lineBreakFor(const CardBytes& card) {
    return card.bytes().contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

QByteArray uidLine(const CardBytes& card, const QString& uid) {
    QByteArray line = QByteArray(kUidProperty.data(), kUidProperty.size());
    line += ':';
    line += card.encoding() == CardEncoding::Utf8 ? uid.toUtf8() : uid.toLatin1();
    return line;
}

}  // namespace

QString uidOf(const CardBytes& card) {
    const std::optional<FoundLine> line = findLine(card, kUidProperty);
    return line ? line->value : QString();
}

CardBytes withUid(const CardBytes& card, const QString& uid) {
    if (findLine(card, kUidProperty))
        return card;
    const QByteArray lineBreak = lineBreakFor(card);
    QByteArray bytes = card.bytes();
    const std::optional<FoundLine> end = findLine(card, kEndProperty);
    if (end) {
        bytes.insert(end->start, uidLine(card, uid) + lineBreak);
    } else {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += lineBreak;
        bytes += uidLine(card, uid) + lineBreak;
    }
    return CardBytes(bytes, card.encoding());
}

CardBytes withNewUid(const CardBytes& card, const QString& uid) {
    const std::optional<FoundLine> line = findLine(card, kUidProperty);
    if (!line)
        return withUid(card, uid);
    QByteArray bytes = card.bytes();
    // The line's own break stays; a CR before it too.
    qsizetype end = line->end;
    if (end > line->start && bytes.at(end - 1) == '\r')
        --end;
    bytes.replace(line->start, end - line->start, uidLine(card, uid));
    return CardBytes(bytes, card.encoding());
}

bool isVersion40(const CardBytes& card) {
    const std::optional<FoundLine> line = findLine(card, kVersionKey);
    return line && line->value == u"4.0";
}

QByteArray cardHash(const CardBytes& card) {
    return QCryptographicHash::hash(card.text().toUtf8(), QCryptographicHash::Sha256).toHex();
}

}  // namespace pennacle
