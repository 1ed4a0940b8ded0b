#pragma once

#include "core/cardbytes.h"

#include <QByteArrayView>
#include <QLatin1String>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

#include <vector>

namespace pennacle {

// The lines that open and close every card.
inline constexpr QLatin1StringView kBeginCard("BEGIN:VCARD");
inline constexpr QLatin1StringView kEndCard("END:VCARD");
// The key of the frame line that says the card's version.
inline constexpr QLatin1StringView kVersionKey("VERSION");

// One logical line of a card: soft line breaks and folded lines already joined, decoded.
struct CardLine {
    QString text;          // keeps the CR (if any) that ended its last physical line
    qsizetype offset = 0;  // where its first physical line starts in the card's bytes

    bool operator==(const CardLine&) const = default;
};

// Whether a property part marks its value as Base64 data, whose "=" padding at a line's end
// is no soft line break even under a quoted-printable mark. Which properties hold such data
// is for the reader's caller to say; none when it is null.
using BinaryValueTest = bool (*)(QStringView propertyPart);

inline QByteArrayView trimBlanks(QByteArrayView text);

// Splits a card into logical lines: at LF, then joins the soft line breaks of quoted-printable
// values, then folded lines (the fold blank is dropped in 3.0/4.0 cards).
std::vector<CardLine> splitLines(const CardBytes& card, BinaryValueTest isBinary);

// Walks the logical lines of a card's bytes one by one, as splitLines cuts them. A line that
// runs over several physical lines is put together only when its text is asked for, so that
// passing a folded photo of hundreds of lines copies nothing; and a line is decoded only when
// its decoded text is asked for. Lines are joined as bytes, so a fold that splits a character
// of several bytes decodes whole.
class LineWalker {
public:
    // The card must outlive the walker.
    LineWalker(const CardBytes& card, BinaryValueTest isBinary);
    LineWalker(CardBytes&&, BinaryValueTest) = delete;

    // Moves to the next logical line; false when there is none left.
    bool next();
    // Where its first physical line starts in the card.
    qsizetype offset() const { return start_; }
    // Where its last physical line ends: the index of its line break, or the card's size.
    qsizetype endOffset() const { return end_; }
    // Its first physical line, without the LF.
    QByteArrayView firstLine() const { return card_.sliced(start_, firstEnd_ - start_); }
    // The ":" that ends its property part, as an index into firstLine(), when the first
    // physical line holds it outside quotes; -1 otherwise.
    qsizetype settledColon() const { return colon_; }
    // settledColon() as an index into decodedText(); -1 when there is none, or when
    // characters of several bytes stand before it.
    qsizetype decodedColon() const;
    // What plainKeyOf(firstLine()) gives, found while the line was looked at first.
    std::optional<QByteArrayView> plainKey() const {
        if (keyEnd_ < 0)
            return std::nullopt;
        return trimBlanks(firstLine().sliced(keyStart_, keyEnd_ - keyStart_));
    }
    // When the first physical line holds both the plain key and the settled colon: the
    // property part from the key on (group dropped, untrimmed), and whether parameters follow
    // the key in it; none otherwise.
    std::optional<QByteArrayView> settledPartWithoutGroup() const {
        if (keyEnd_ < 0 || colon_ < 0)
            return std::nullopt;
        return firstLine().sliced(keyStart_, colon_ - keyStart_);
    }
    bool settledPartHasParameters() const { return keyEnd_ >= 0 && keyEnd_ < colon_; }
    // Whether the plain key holds a CR.
    bool plainKeyHoldsCr() const { return lastKeyCr_ >= keyStart_; }
    // Whether the card's folding drops the blank (see foldingDropsBlank).
    bool dropsBlank() const { return dropBlank_; }
    // What ends its physical lines (see lineBreakOf).
    char lineBreak() const { return lineBreak_; }
    // Whether it runs over more than one physical line.
    bool isJoined() const { return end_ != firstEnd_; }
    // Its bytes; valid until next() or takeText().
    QByteArrayView text();
    QByteArray takeText();
    // Its text decoded in the card's encoding; valid until next().
    QStringView decodedText();
    // Bytes of the card (a piece of a line, say) decoded in its encoding.
    QString decoded(QByteArrayView bytes) const { return decodeText(bytes, encoding_); }

private:
    // Walks the continuation lines of the current line, when its first line settles its
    // property part, calling onPiece(text, softBreak) for each; returns the end of its last
    // physical line, or -1 when the general joining must follow it.
    template <class OnPiece>
    qsizetype follow(OnPiece&& onPiece);
    void scanFirstLine(QByteArrayView line);
    bool marksQuotedPrintable(QByteArrayView part) const;

    QByteArrayView card_;
    CardEncoding encoding_;
    BinaryValueTest isBinary_;
    bool dropBlank_;
    bool done_;
    char lineBreak_;  // see lineBreakOf
    qsizetype cursor_ = 0;
    qsizetype start_ = 0;
    qsizetype firstEnd_ = 0;
    qsizetype end_ = 0;  // the end of its last physical line
    qsizetype colon_ = -1;
    qsizetype keyStart_ = 0;  // of the plain key in the first line, and its end (-1: none)
    qsizetype keyEnd_ = -1;
    qsizetype lastKeyCr_ = -1;    // the last CR before the key's end
    qsizetype peekedStart_ = -1;  // a physical line seen ahead, and its end
    qsizetype peekedEnd_ = -1;
    std::optional<bool> quotedPrintable_;  // of its property part, once a line ends in "="
    QByteArray joined_;
    bool materialized_ = false;
    QString decoded_;
    bool decodedValid_ = false;
};

// Whether the card's first VERSION line says 3.0 or 4.0, whose folding drops the leading blank
// and whose values escape with backslashes.
bool foldingDropsBlank(QByteArrayView card);

// What ends a physical line of the card: LF, or CR in a card without any LF (old Mac exports).
char lineBreakOf(QByteArrayView card);

// End of the physical line starting at `start`: the index of its line break (LF unless said
// otherwise), or the text's size.
qsizetype physicalLineEnd(QByteArrayView text, qsizetype start, char lineBreak = '\n');

// The key of a property line read from its first physical line alone: the text before the
// first ";" or ":", without a group prefix ("item1."), trimmed; keyIs(part, key) holds for
// exactly this key. None when a quote comes first or the line holds neither sign.
std::optional<QStringView> plainKeyOf(QStringView line);
std::optional<QByteArrayView> plainKeyOf(QByteArrayView line);

// Whether the text holds the character: for the short texts of one line, where a plain loop
// costs less than a call into the library.
inline bool holdsChar(QStringView text, char16_t c) {
    for (const QChar ch : text) {
        if (ch.unicode() == c)
            return true;
    }
    return false;
}

inline bool holdsChar(QByteArrayView text, char c) {
    for (const char ch : text) {
        if (ch == c)
            return true;
    }
    return false;
}

// Whether the property part is one of the card's frame: BEGIN, VERSION or END.
bool isFrameProperty(QStringView propertyPart);

// Whether the line has a ":" and so is a property line rather than a continuation line.
bool isPropertyLine(QStringView line);

// Whether the line is empty once its CR characters are removed.
bool isBlankLine(QStringView line);
bool isBlankLine(QByteArrayView line);

// Where the property part ends: the line's first ":" outside double quotes (parameter values
// such as GEO="geo:..." hold colons), or its first ":" when a quote is never closed; -1 for none.
qsizetype propertyColonOf(QStringView line);
qsizetype propertyColonOf(QByteArrayView line);

// The text before the property part's ":" (the whole line when it has none).
QStringView propertyPartOf(QStringView line);

// The text after the property part's ":", further colons included (empty when it has none).
QStringView valueOf(QStringView line);

// A value up to its first ":" that no backslash escapes in a 3.0/4.0 card (`escapes`): how
// name lines are read for the list, whose value runs to the line's second colon.
QStringView valueBeforeColon(QStringView value, bool escapes);

// The text without the one CR that ended its line, if it ends in one.
QStringView withoutLineEnd(QStringView text);
QByteArrayView withoutLineEnd(QByteArrayView text);

// The property part without a group prefix ("item1." in "item1.EMAIL;TYPE=INTERNET").
QStringView withoutGroup(QStringView propertyPart);

// The text with leading and trailing spaces removed (spaces only, not other white space).
inline QStringView trimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.sliced(first, last - first);
}
inline QByteArrayView trimBlanks(QByteArrayView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    return text.sliced(first, last - first);
}

// The text with every CR removed.
QString stripCR(QStringView text);

// The text with every CR removed, then trimmed.
QString trimmedWithoutCR(QStringView text);

// Whether the text equals the ASCII name in any case. Non-ASCII letters are never folded
// (a Kelvin sign is no "K"), as Qt's case-insensitive comparison would.
inline bool equalsIgnoringAsciiCase(QStringView text, QLatin1StringView name) {
    if (text.size() != name.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t lower = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        const char n = name.data()[i];
        if (lower != char16_t(n >= 'A' && n <= 'Z' ? n + 32 : n))
            return false;
    }
    return true;
}

inline bool equalsIgnoringAsciiCase(QByteArrayView text, QLatin1StringView name) {
    if (text.size() != name.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char n = name.data()[i];
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != (n >= 'A' && n <= 'Z' ? n + 32 : n))
            return false;
    }
    return true;
}

// Where the ASCII name stands in the text in any case, -1 when nowhere.
qsizetype indexOfIgnoringAsciiCase(QStringView text, QLatin1StringView name);

// Key test: the property part before its first ";", group dropped and trimmed, equals key.
bool keyIs(QStringView propertyPart, QLatin1String key);

// Name test: the whole property part, group dropped and trimmed, equals name.
bool nameIs(QStringView propertyPart, QLatin1String name);

// Parameter test: the property part, group dropped, contains the text in any case (ASCII
// letters only: parameter names are ASCII).
bool hasParameter(QStringView propertyPart, QLatin1String text);

// Whether the property part marks its value as ENCODING=QUOTED-PRINTABLE.
bool isQuotedPrintable(QStringView propertyPart);

// The value of the CHARSET parameter, trimmed; empty when there is none.
QString charsetOf(QStringView propertyPart);

// The components of a compound value, split at each ";" that no backslash escapes: "\;" is a
// ";" inside a component in every version, and in 3.0/4.0 cards (`escapes`) a backslash also
// escapes whatever else follows it, "\\" included.
QList<QStringView> splitComponents(QStringView value, bool escapes);

// The text with its backslash escapes decoded. With `escapes` (3.0/4.0 cards): "\n" and "\N"
// become `lineBreak`, and "\," "\;" "\:" "\\" the sign after the backslash. Without (a
// component of a 2.1 card): only "\;" becomes ";". Any other backslash stays as it is.
QString unescaped(QStringView text, bool escapes, QStringView lineBreak);

}  // namespace pennacle
