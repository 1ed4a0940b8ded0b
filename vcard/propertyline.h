#pragma once

#include "core/cardbytes.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace pennacle {

// What reading the values of one card depends on beyond the line itself: the card's version
// (3.0 and 4.0 escape with backslashes) and whether its text is an ANSI reading, whose
// characters map back to the file's bytes.
class CardSyntax {
public:
    explicit CardSyntax(const CardBytes& card);
    // When the card's version is known already: `escapes` is foldingDropsBlank(card).
    CardSyntax(const CardBytes& card, bool escapes) : card_(card), escapes_(escapes) {}
    // The card must outlive the syntax.
    explicit CardSyntax(CardBytes&&) = delete;
    CardSyntax(CardBytes&&, bool) = delete;

    bool escapes() const { return escapes_; }
    bool ansiReading() const;

private:
    const CardBytes& card_;
    bool escapes_;
};

// Whether a piece of a value is a component of a compound value (N, ADR, ORG), where 2.1's
// "\;" stands for a ";" too.
enum class Piece { Whole, Component };

// A text as a box shows it: a view into the line when nothing needed decoding, else a text
// of its own. Valid as long as the line it came from.
class ShownText {
public:
    ShownText(QStringView view) : view_(view) {}
    ShownText(QString text) : text_(std::move(text)), owned_(true) {}

    QStringView view() const { return owned_ ? QStringView(text_) : view_; }
    operator QStringView() const { return view(); }
    operator QString() const& { return owned_ ? text_ : view_.toString(); }
    operator QString() && { return owned_ ? std::move(text_) : view_.toString(); }

private:
    QString text_;
    QStringView view_;
    bool owned_ = false;
};

// One property line and the decoding that its parameters and its card call for. It views the
// line and the syntax, which must outlive it.
class PropertyLine {
public:
    PropertyLine(QStringView line, const CardSyntax& syntax);
    // When the walker knows where the property part ends already (LineWalker::settledColon).
    PropertyLine(QStringView line, qsizetype colon, const CardSyntax& syntax);
    PropertyLine(const PropertyLine&) = delete;
    PropertyLine& operator=(const PropertyLine&) = delete;

    QStringView part() const { return part_; }
    // The property part's pieces after its name, split at each ";" outside double quotes: a
    // quoted parameter value is one piece, whatever it holds.
    QList<QStringView> parameters() const;
    bool quotedPrintable() const { return quotedPrintable_; }
    // The CHARSET parameter's value, empty when there is none.
    const QString& charset() const;
    // A bare QUOTED-PRINTABLE parameter, as the 2.1 writer marks notes.
    bool bareQuotedPrintable() const;
    bool escapes() const { return syntax_.escapes(); }
    // The value as it stands in the line, closing CR included.
    QStringView rawValue() const { return raw_; }
    // The value, read in the character set that the line names when it is raw text of an ANSI
    // reading (Shift_JIS names from phones); otherwise as it stands. Closing CR included.
    QStringView value() const;
    // The components of a text of this line's value.
    QList<QStringView> components(QStringView text) const;
    // A piece of the value as a one-line box shows it: quoted-printable decoded in the line's
    // character set, then the card's backslash escapes; every line break, decoded or escaped
    // ("\n"), is a blank.
    QString shown(QStringView piece, Piece kind) const;
    // Whether shown() changes the piece at all: most values are shown as they stand.
    bool needsDecoding(QStringView piece, Piece kind) const;

private:
    const CardSyntax& syntax_;
    QStringView part_;
    QStringView raw_;
    bool quotedPrintable_;
    mutable std::optional<QString> charset_;
    mutable std::optional<QString> inCharset_;  // the value in its character set, once read
};

// The property part's pieces, split at each ";" outside double quotes.
QList<QStringView> splitPropertyPart(QStringView propertyPart);

// Calls onPiece for each piece that splitPropertyPart gives, in order, making no list.
template <class OnPiece>
void forEachPropertyPiece(QStringView propertyPart, OnPiece&& onPiece) {
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < propertyPart.size(); ++i) {
        if (propertyPart[i] == u'"') {
            // A quote that is never closed quotes nothing, as it ends no property part either.
            quoted = !quoted && propertyPart.indexOf(u'"', i + 1) >= 0;
        } else if (propertyPart[i] == u';' && !quoted) {
            onPiece(propertyPart.sliced(start, i - start));
            start = i + 1;
        }
    }
    onPiece(propertyPart.sliced(start));
}

// The text of a value read in a character set from the bytes that an ANSI reading of it came
// from; none when the set is unknown or the bytes are not text in it.
std::optional<QString> rereadInCharset(QStringView ansiText, const QString& charset);

}  // namespace pennacle
