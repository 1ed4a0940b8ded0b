#include "vcard/writer40.h"

#include "core/utf8.h"

namespace pennacle {

void appendEscaped(QString& out, QStringView item) {
    qsizetype run = 0;  // the start of the characters not copied yet
    for (qsizetype i = 0; i < item.size(); ++i) {
        const QChar c = item[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out.append(item.sliced(run, i - run)).append(u'\\').append(c);
            run = i + 1;
        } else if (c == u'\r' || c == u'\n') {
            out.append(item.sliced(run, i - run)).append(u"\\n");
            if (c == u'\r' && i + 1 < item.size() && item[i + 1] == u'\n')
                ++i;
            run = i + 1;
        }
    }
    out.append(item.sliced(run));
}

namespace {

// Where a physical line that starts at `start` may end: at most `room` octets on, moved back
// to the start of a character when that would cut one.
qsizetype foldEnd(const QByteArray& bytes, qsizetype start, qsizetype room) {
    qsizetype end = start + room;
    if (end >= bytes.size())
        return bytes.size();
    while (end > start && isUtf8Continuation(static_cast<unsigned char>(bytes[end])))
        --end;
    // Bytes that are no UTF-8 at all: cut where the room ends rather than never.
    return end > start ? end : start + room;
}

}  // namespace

void appendFoldedLine(QByteArray& card, QStringView line) {
    // Most lines fit: they are encoded in place.
    const qsizetype lineStart = card.size();
    appendUtf8(card, line);
    if (card.size() - lineStart <= kFoldWidth) {
        card.append("\r\n");
        return;
    }
    const QByteArray bytes = card.sliced(lineStart);
    card.truncate(lineStart);
    qsizetype start = 0;
    qsizetype room = kFoldWidth;
    do {
        const qsizetype end = foldEnd(bytes, start, room);
        if (start > 0)
            card.append(' ');
        card.append(QByteArrayView(bytes).sliced(start, end - start)).append("\r\n");
        start = end;
        room = kFoldWidth - 1;
    } while (start < bytes.size());
}

void appendAsciiLine(QByteArray& card, QLatin1StringView line) {
    card.append(line.data(), line.size()).append("\r\n");
}

bool needsQuotes(QStringView parameterValue) {
    for (const QChar c : parameterValue) {
        if (c == u':' || c == u';' || c == u',')
            return true;
    }
    return false;
}

}  // namespace pennacle
