#include "vcard/cardlines.h"

#include "core/utf8.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

namespace pennacle {

namespace {

// The property part before its first ";", group dropped and trimmed.
QStringView keyOf(QStringView propertyPart) {
    const QStringView part = withoutGroup(propertyPart);
    const qsizetype semicolon = part.indexOf(u';');
    return trimBlanks(semicolon < 0 ? part : part.left(semicolon));
}

bool startsWithFoldBlank(QByteArrayView line) {
    return !line.isEmpty() && (line.front() == ' ' || line.front() == '\t');
}

// Whether a line that starts with a blank goes on with the line before it: all but the card's
// closing "END:VCARD", which may stand indented.
bool continuesLine(QByteArrayView next, bool last) {
    if (!startsWithFoldBlank(next))
        return false;
    if (!last)
        return true;
    qsizetype blanks = 0;
    while (blanks < next.size() && (next[blanks] == ' ' || next[blanks] == '\t'))
        ++blanks;
    const QByteArrayView rest = next.sliced(blanks);
    return rest.size() < kEndCard.size() ||
           !equalsIgnoringAsciiCase(rest.first(kEndCard.size()), kEndCard);
}

// Tracks where a growing logical line has its property part's ":" without scanning any part of
// it twice: the first colon outside quotes settles it; until then the first colon of all
// stands in (a quote that is never closed).
class ColonTracker {
public:
    using PartTest = std::function<bool(QByteArrayView part)>;
    explicit ColonTracker(PartTest marksQuotedPrintable)
        : marksQuotedPrintable_(std::move(marksQuotedPrintable)) {}

    qsizetype colonIn(const QByteArray& text) {
        if (outside_ < 0) {
            scan(text);
            const qsizetype colon = outside_ >= 0 ? outside_ : first_;
            if (colon != answered_) {
                answered_ = colon;
                quotedPrintable_ =
                    colon >= 0 && marksQuotedPrintable_(QByteArrayView(text).first(colon));
            }
        }
        return outside_ >= 0 ? outside_ : first_;
    }
    bool quotedPrintable() const { return quotedPrintable_; }
    // The line lost its end (a CR, the "=" of a soft break); what follows is new text.
    void truncatedTo(qsizetype size) { scannedUpTo_ = std::min(scannedUpTo_, size); }

private:
    void scan(const QByteArray& text) {
        const qsizetype size = text.size();
        for (qsizetype i = scannedUpTo_; i < size; ++i) {
            const char c = text[i];
            if (c == '"') {
                quoted_ = !quoted_;
            } else if (c == ':') {
                if (first_ < 0)
                    first_ = i;
                if (!quoted_) {
                    outside_ = i;
                    scannedUpTo_ = i + 1;
                    return;
                }
            }
        }
        scannedUpTo_ = size;
    }

    PartTest marksQuotedPrintable_;
    qsizetype outside_ = -1;
    qsizetype first_ = -1;
    qsizetype answered_ = -1;
    qsizetype scannedUpTo_ = 0;
    bool quoted_ = false;
    bool quotedPrintable_ = false;
};

// A quoted-printable value ending in "=" (before its CR) goes on with the next line.
bool endsInSoftBreak(const QByteArray& text, ColonTracker& colon) {
    const qsizetype at = colon.colonIn(text);
    if (at < 0 || !colon.quotedPrintable())
        return false;
    const QByteArrayView body = withoutLineEnd(QByteArrayView(text));
    return body.size() > at + 1 && body.back() == '=';
}

// Whether UTF-8 bytes end in a character cut short: a lead byte with fewer continuation bytes
// after it than it asks for.
bool endsInsideSequence(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, size); ++back) {
        const auto b = static_cast<unsigned char>(bytes[size - back]);
        if (!isUtf8Continuation(b))
            return utf8Lead(b).length > back;
    }
    return false;
}

// What a folded line adds to the line before it: without its blank where the card's folding
// drops it, and also where the fold cuts a UTF-8 character (an exporter that folds by bytes),
// whose bytes the blank would keep apart.
QByteArrayView foldedPiece(QByteArrayView before, QByteArrayView next, bool dropBlank, bool utf8) {
    const bool cutsCharacter = utf8 && next.size() > 1 &&
                               isUtf8Continuation(static_cast<unsigned char>(next[1])) &&
                               endsInsideSequence(before);
    return dropBlank || cutsCharacter ? next.sliced(1) : next;
}

void chopLineEnd(QByteArray& text) {
    if (text.endsWith('\r'))
        text.chop(1);
}

// One logical line put together as the line structure asks: the original, general joining
// that follows the growing text; the walker below takes it for the lines it cannot follow
// by their physical lines alone. Returns the text and the end of its last physical line.
std::pair<QByteArray, qsizetype> joinLogicalLine(QByteArrayView card, qsizetype start,
                                                 bool dropBlank, bool utf8, char lineBreak,
                                                 ColonTracker colon) {
    const qsizetype size = card.size();
    qsizetype end = physicalLineEnd(card, start, lineBreak);
    QByteArray text = card.sliced(start, end - start).toByteArray();
    while (end < size) {
        const qsizetype nextStart = end + 1;
        const qsizetype nextEnd = physicalLineEnd(card, nextStart, lineBreak);
        const QByteArrayView next = card.sliced(nextStart, nextEnd - nextStart);
        if (endsInSoftBreak(text, colon)) {
            chopLineEnd(text);
            text.chop(1);  // the "=" of the soft break
            colon.truncatedTo(text.size());
            text.append(next);
        } else if (continuesLine(next, nextEnd >= size)) {
            chopLineEnd(text);
            colon.truncatedTo(text.size());
            text.append(foldedPiece(text, next, dropBlank, utf8));
        } else {
            break;
        }
        end = nextEnd;
    }
    return {std::move(text), end};
}

// The key of a line, read as plainKeyOf describes, for either kind of text.
template <class View>
std::optional<View> plainKeyIn(View line) {
    qsizetype keyStart = 0;  // after the last "." so far
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto c = line[i];
        if (c == ';' || c == ':')
            return trimBlanks(line.sliced(keyStart, i - keyStart));
        if (c == '"')
            return std::nullopt;
        if (c == '.')
            keyStart = i + 1;
    }
    return std::nullopt;
}

// The colon that ends the property part when the line itself settles it: the first colon
// outside quotes; -1 when the line has none.
template <class View>
qsizetype settledColonOf(View line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ':' && !quoted) {
            return i;
        }
    }
    return -1;
}

}  // namespace

LineWalker::LineWalker(const CardBytes& card, BinaryValueTest isBinary)
    : card_(card.bytes()),
      encoding_(card.encoding()),
      isBinary_(isBinary),
      dropBlank_(!card.isEmpty() && foldingDropsBlank(card.bytes())),
      done_(card.isEmpty()),
      lineBreak_(lineBreakOf(card.bytes())) {}

bool LineWalker::marksQuotedPrintable(QByteArrayView part) const {
    // Only lines ending in "=" ask, and parameter names are ASCII: the part is read as it is.
    const QString text = decoded(part);
    return isQuotedPrintable(text) && !(isBinary_ != nullptr && isBinary_(text));
}

bool LineWalker::next() {
    if (done_)
        return false;
    start_ = cursor_;
    // The line after a logical line was looked at already, to see that it does not go on.
    firstEnd_ = start_ == peekedStart_ ? peekedEnd_ : physicalLineEnd(card_, start_, lineBreak_);
    joined_.clear();
    materialized_ = false;
    decodedValid_ = false;
    quotedPrintable_.reset();
    scanFirstLine(card_.sliced(start_, firstEnd_ - start_));
    qsizetype end = colon_ < 0 ? -1 : follow([](QByteArrayView, bool) {});
    if (end < 0) {
        // Where the property part ends may still change with the next lines, or the joined
        // text would end in what an earlier line brought: the general joining follows it.
        ColonTracker colon([this](QByteArrayView part) { return marksQuotedPrintable(part); });
        std::tie(joined_, end) =
            joinLogicalLine(card_, start_, dropBlank_, encoding_ == CardEncoding::Utf8, lineBreak_,
                            std::move(colon));
        materialized_ = true;
    }
    end_ = end;
    if (end >= card_.size()) {
        done_ = true;
    } else {
        cursor_ = end + 1;
    }
    return true;
}

void LineWalker::scanFirstLine(QByteArrayView line) {
    // The key's end and the part's colon in one pass: most lines are never looked at again.
    colon_ = -1;
    keyStart_ = 0;
    keyEnd_ = -1;
    lastKeyCr_ = -1;
    bool keyOpen = true;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (keyOpen) {
            if (c == ';' || c == ':') {
                keyEnd_ = i;
                keyOpen = false;
            } else if (c == '"') {
                keyOpen = false;  // a quote before the key's end: no plain key
            } else if (c == '.') {
                keyStart_ = i + 1;
            } else if (c == '\r') {
                lastKeyCr_ = i;
            }
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ':' && !quoted) {
            colon_ = i;
            return;
        }
    }
}

qsizetype LineWalker::decodedColon() const {
    if (colon_ < 0 || encoding_ == CardEncoding::Ansi)
        return colon_;  // one character for each byte
    return isAscii(card_.sliced(start_, colon_)) ? colon_ : -1;
}

template <class OnPiece>
qsizetype LineWalker::follow(OnPiece&& onPiece) {
    // The part is settled, so each next line continues this one by its first character (a
    // fold) or by the "=" that ends the line before it (a soft break).
    const qsizetype size = card_.size();
    qsizetype end = firstEnd_;
    QByteArrayView last = card_.sliced(start_, firstEnd_ - start_);
    bool lastIsFirst = true;
    while (end < size) {
        const qsizetype nextStart = end + 1;
        const qsizetype nextEnd = physicalLineEnd(card_, nextStart, lineBreak_);
        const QByteArrayView next = card_.sliced(nextStart, nextEnd - nextStart);
        const QByteArrayView body = withoutLineEnd(last);
        bool soft =
            !body.isEmpty() && body.back() == '=' && (!lastIsFirst || body.size() > colon_ + 1);
        if (soft) {
            if (!quotedPrintable_)
                quotedPrintable_ = marksQuotedPrintable(card_.sliced(start_, colon_));
            soft = *quotedPrintable_;
        }
        QByteArrayView piece;
        if (soft) {
            piece = next;
        } else if (continuesLine(next, nextEnd >= size)) {
            piece = foldedPiece(body, next, dropBlank_, encoding_ == CardEncoding::Utf8);
        } else {
            peekedStart_ = nextStart;
            peekedEnd_ = nextEnd;
            break;
        }
        if (withoutLineEnd(piece).isEmpty())
            return -1;
        onPiece(piece, soft);
        last = piece;
        lastIsFirst = false;
        end = nextEnd;
    }
    return end;
}

QByteArrayView LineWalker::text() {
    if (materialized_)
        return joined_;
    if (!isJoined())
        return firstLine();
    // The pieces again, as next() found them: each line loses its CR, and before a soft
    // break its "=" too.
    joined_.reserve(end_ - start_);
    QByteArrayView previous = firstLine();
    follow([&](QByteArrayView piece, bool softBreak) {
        previous = withoutLineEnd(previous);
        if (softBreak)
            previous.chop(1);
        joined_.append(previous);
        previous = piece;
    });
    joined_.append(previous);
    materialized_ = true;
    return joined_;
}

QByteArray LineWalker::takeText() {
    if (!materialized_ && !isJoined())
        return firstLine().toByteArray();
    text();
    materialized_ = false;
    end_ = firstEnd_;  // taken: nothing is left to join
    return std::move(joined_);
}

QStringView LineWalker::decodedText() {
    if (!decodedValid_) {
        // One buffer for all lines: most are decoded once and dropped.
        static constexpr qsizetype kLineRoom = 256;  // most lines, without growing
        const QByteArrayView bytes = text();
        decoded_.resize(0);
        if (decoded_.capacity() < bytes.size() || decoded_.capacity() < kLineRoom)
            decoded_.reserve(std::max(kLineRoom, bytes.size()));
        appendDecoded(decoded_, bytes, encoding_);
        decodedValid_ = true;
    }
    return decoded_;
}

std::vector<CardLine> splitLines(const CardBytes& card, BinaryValueTest isBinary) {
    std::vector<CardLine> lines;
    LineWalker walker(card, isBinary);
    while (walker.next())
        lines.push_back({walker.decodedText().toString(), walker.offset()});
    return lines;
}

std::optional<QStringView> plainKeyOf(QStringView line) {
    return plainKeyIn(line);
}

std::optional<QByteArrayView> plainKeyOf(QByteArrayView line) {
    return plainKeyIn(line);
}

bool foldingDropsBlank(QByteArrayView card) {
    const qsizetype size = card.size();
    const char lineBreak = lineBreakOf(card);
    for (qsizetype start = 0; start <= size;) {
        const qsizetype end = physicalLineEnd(card, start, lineBreak);
        const QByteArrayView bytes = card.sliced(start, end - start);
        start = end + 1;
        // Most lines are told apart by their key alone.
        if (const std::optional<QByteArrayView> key = plainKeyOf(bytes);
            key && !equalsIgnoringAsciiCase(*key, kVersionKey)) {
            continue;
        }
        // What counts is ASCII: the line is read byte for character.
        const QString line = QString::fromLatin1(bytes);
        if (isPropertyLine(line) && keyIs(propertyPartOf(line), kVersionKey)) {
            const QStringView value = trimBlanks(valueOf(line));
            // Only a CR inside the value costs a copy; the one that ends the line does not.
            const QString copy =
                holdsChar(withoutLineEnd(value), u'\r') ? trimmedWithoutCR(value) : QString();
            const QStringView number =
                copy.isNull() ? trimBlanks(withoutLineEnd(value)) : QStringView(copy);
            return number == u"3.0" || number == u"4.0";
        }
    }
    return false;
}

char lineBreakOf(QByteArrayView card) {
    if (card.isEmpty() || std::memchr(card.data(), '\n', size_t(card.size())))
        return '\n';
    return std::memchr(card.data(), '\r', size_t(card.size())) ? '\r' : '\n';
}

qsizetype physicalLineEnd(QByteArrayView text, qsizetype start, char lineBreak) {
    if (start >= text.size())
        return text.size();
    const void* lf = std::memchr(text.data() + start, lineBreak, size_t(text.size() - start));
    return lf ? static_cast<const char*>(lf) - text.data() : text.size();
}

bool isFrameProperty(QStringView propertyPart) {
    const QStringView key = keyOf(propertyPart);
    return equalsIgnoringAsciiCase(key, QLatin1String("BEGIN")) ||
           equalsIgnoringAsciiCase(key, kVersionKey) ||
           equalsIgnoringAsciiCase(key, QLatin1String("END"));
}

bool isPropertyLine(QStringView line) {
    return line.contains(QChar(u':'));
}

bool isBlankLine(QStringView line) {
    for (const QChar c : line) {
        if (c != u'\r')
            return false;
    }
    return true;
}

bool isBlankLine(QByteArrayView line) {
    for (const char c : line) {
        if (c != '\r')
            return false;
    }
    return true;
}

qsizetype propertyColonOf(QStringView line) {
    const qsizetype colon = settledColonOf(line);
    // An unclosed quote: the first colon after all.
    return colon >= 0 ? colon : line.indexOf(u':');
}

qsizetype propertyColonOf(QByteArrayView line) {
    const qsizetype colon = settledColonOf(line);
    return colon >= 0 ? colon : line.indexOf(':');
}

QStringView propertyPartOf(QStringView line) {
    const qsizetype colon = propertyColonOf(line);
    return colon < 0 ? line : line.left(colon);
}

QStringView valueOf(QStringView line) {
    const qsizetype colon = propertyColonOf(line);
    return colon < 0 ? QStringView() : line.mid(colon + 1);
}

QStringView valueBeforeColon(QStringView value, bool escapes) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (escapes && value[i] == u'\\') {
            ++i;
        } else if (value[i] == u':') {
            return value.left(i);
        }
    }
    return value;
}

QStringView withoutLineEnd(QStringView text) {
    return text.endsWith(u'\r') ? text.chopped(1) : text;
}

QByteArrayView withoutLineEnd(QByteArrayView text) {
    return text.endsWith('\r') ? text.chopped(1) : text;
}

QStringView withoutGroup(QStringView propertyPart) {
    const qsizetype semicolon = propertyPart.indexOf(u';');
    const QStringView name = semicolon < 0 ? propertyPart : propertyPart.left(semicolon);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? propertyPart : propertyPart.mid(dot + 1);
}

QString stripCR(QStringView text) {
    QString result = text.toString();
    result.remove(u'\r');
    return result;
}

QString trimmedWithoutCR(QStringView text) {
    return trimBlanks(stripCR(text)).toString();
}

bool keyIs(QStringView propertyPart, QLatin1String key) {
    return equalsIgnoringAsciiCase(keyOf(propertyPart), key);
}

bool nameIs(QStringView propertyPart, QLatin1String name) {
    return equalsIgnoringAsciiCase(trimBlanks(withoutGroup(propertyPart)), name);
}

bool hasParameter(QStringView propertyPart, QLatin1String text) {
    if (propertyPart.size() < text.size())
        return false;
    return indexOfIgnoringAsciiCase(withoutGroup(propertyPart), text) >= 0;
}

qsizetype indexOfIgnoringAsciiCase(QStringView text, QLatin1StringView name) {
    if (name.isEmpty())
        return 0;
    const char first = name.front().toLatin1();
    const char16_t upper = char16_t(first >= 'a' && first <= 'z' ? first - 32 : first);
    const char16_t lower = char16_t(first >= 'A' && first <= 'Z' ? first + 32 : first);
    for (qsizetype i = 0; i + name.size() <= text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c == upper || c == lower) &&
            equalsIgnoringAsciiCase(text.sliced(i, name.size()), name))
            return i;
    }
    return -1;
}

bool isQuotedPrintable(QStringView propertyPart) {
    static constexpr qsizetype kMarkerSize = 25;  // "ENCODING=QUOTED-PRINTABLE"
    if (propertyPart.size() < kMarkerSize)
        return false;
    return hasParameter(propertyPart, QLatin1String("ENCODING=QUOTED-PRINTABLE"));
}

QString charsetOf(QStringView propertyPart) {
    if (!holdsChar(propertyPart, u'='))
        return QString();  // most parts: no parameter with a value at all
    const QStringView part = withoutGroup(propertyPart);
    const QLatin1String marker("CHARSET=");
    const qsizetype at = indexOfIgnoringAsciiCase(part, marker);
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

QList<QStringView> splitComponents(QStringView value, bool escapes) {
    QList<QStringView> components;
    components.reserve(value.count(u';') + 1);
    qsizetype start = 0;
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < size && (escapes || value[i + 1] == u';')) {
            ++i;
        } else if (c == u';') {
            components.append(value.sliced(start, i - start));
            start = i + 1;
        }
    }
    components.append(value.sliced(start));
    return components;
}

QString unescaped(QStringView text, bool escapes, QStringView lineBreak) {
    qsizetype backslash = text.indexOf(u'\\');
    if (backslash < 0)
        return text.toString();
    QString result;
    result.reserve(text.size() + lineBreak.size());
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (backslash >= 0 && backslash + 1 < size) {
        const QChar next = text[backslash + 1];
        QStringView replacement;
        if (next == u';') {
            replacement = u";";
        } else if (escapes && (next == u'n' || next == u'N')) {
            replacement = lineBreak;
        } else if (escapes && (next == u',' || next == u':' || next == u'\\')) {
            replacement = text.sliced(backslash + 1, 1);
        } else {
            backslash = text.indexOf(u'\\', backslash + 1);
            continue;
        }
        result.append(text.sliced(start, backslash - start));
        result.append(replacement);
        start = backslash + 2;
        backslash = text.indexOf(u'\\', start);
    }
    result.append(text.sliced(start));
    return result;
}

}  // namespace pennacle
