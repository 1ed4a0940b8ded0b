#include "vcard/propertyline.h"

#include "core/ansiencoding.h"
#include "vcard/cardlines.h"
#include "vcard/charsets.h"
#include "vcard/quotedprintable.h"

#include <algorithm>

namespace pennacle {

namespace {

bool hasNonAscii(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; });
}

// Sets whose reading the ANSI reading already is, or near enough: re-reading would only turn
// the code page's extra signs into control characters. UTF-8 names are left as they stand.
bool readAsAnsiAlready(const QString& charset) {
    static const char* const kNames[] = {"UTF-8",      "UTF8",   "ISO-8859-1", "ISO8859-1",
                                         "ISO_8859-1", "LATIN1", "LATIN-1",    "WINDOWS-1252",
                                         "CP1252",     "ASCII",  "US-ASCII"};
    return std::any_of(std::begin(kNames), std::end(kNames), [&](const char* name) {
        return charset.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0;
    });
}

// Decoded text can hold line breaks that a one-line box has no room for: CR LF, CR and LF
// each become one blank.
QString withBreaksAsBlanks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

CardSyntax::CardSyntax(const CardBytes& card)
    : card_(card), escapes_(foldingDropsBlank(card.bytes())) {}

bool CardSyntax::ansiReading() const {
    // Only a card of a file read as ANSI: the bytes of a UTF-8 file are its text, whatever set
    // a line names.
    return card_.encoding() == CardEncoding::Ansi;
}

PropertyLine::PropertyLine(QStringView line, const CardSyntax& syntax)
    : syntax_(syntax),
      part_(propertyPartOf(line)),
      raw_(valueOf(line)),
      quotedPrintable_(isQuotedPrintable(part_)) {}

PropertyLine::PropertyLine(QStringView line, qsizetype colon, const CardSyntax& syntax)
    : syntax_(syntax),
      part_(line.first(colon)),
      raw_(line.sliced(colon + 1)),
      quotedPrintable_(isQuotedPrintable(part_)) {}

const QString& PropertyLine::charset() const {
    if (!charset_)
        charset_ = charsetOf(part_);
    return *charset_;
}

QList<QStringView> PropertyLine::parameters() const {
    QList<QStringView> pieces = splitPropertyPart(part_);
    pieces.removeFirst();
    return pieces;
}

bool PropertyLine::bareQuotedPrintable() const {
    bool found = false;
    bool name = true;  // the first piece is the name
    forEachPropertyPiece(part_, [&](QStringView piece) {
        found |= !name && trimBlanks(piece).compare(QLatin1String("QUOTED-PRINTABLE"),
                                                    Qt::CaseInsensitive) == 0;
        name = false;
    });
    return found;
}

QStringView PropertyLine::value() const {
    if (!inCharset_) {
        inCharset_.emplace();
        // Only a part with a parameter value can name a character set: most parts are not looked
        // at further.
        if (!quotedPrintable_ && holdsChar(part_, u'=') && hasNonAscii(raw_)) {
            if (!charset().isEmpty() && !readAsAnsiAlready(charset()) && syntax_.ansiReading()) {
                if (std::optional<QString> text = rereadInCharset(raw_, charset()))
                    inCharset_ = std::move(*text);
            }
        }
    }
    return inCharset_->isNull() ? raw_ : QStringView(*inCharset_);
}

QList<QStringView> PropertyLine::components(QStringView text) const {
    return splitComponents(text, escapes());
}

QString PropertyLine::shown(QStringView piece, Piece kind) const {
    QString text = quotedPrintable_
                       ? withBreaksAsBlanks(DecodeQuotedPrintable(piece.toString(), charset()))
                       : piece.toString();
    if (escapes() || kind == Piece::Component)
        return unescaped(text, escapes(), u" ");
    return text;
}

QList<QStringView> splitPropertyPart(QStringView propertyPart) {
    QList<QStringView> pieces;
    forEachPropertyPiece(propertyPart, [&](QStringView piece) { pieces.append(piece); });
    return pieces;
}

bool PropertyLine::needsDecoding(QStringView piece, Piece kind) const {
    // An empty piece decodes to nothing: the empty components of most names cost no decoding.
    return !piece.isEmpty() && (quotedPrintable_ || ((escapes() || kind == Piece::Component) &&
                                                     holdsChar(piece, u'\\')));
}

std::optional<QString> rereadInCharset(QStringView ansiText, const QString& charset) {
    NamedCharset& set = charsetNamed(charset);
    if (!set.isKnown())
        return std::nullopt;
    QStringDecoder& decoder = set.freshDecoder();
    QString text = decoder.decode(encodeAnsi(ansiText));
    if (decoder.hasError() || text.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return text;
}

}  // namespace pennacle
