#pragma once

#include "cards/propertytable.h"
#include "vcard/propertyline.h"

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QStringView>

#include <optional>

namespace pennacle {

// Reads a card line by line, once: each logical line's row of the property table, its key,
// its decoded text and its property view, each worked out only when asked for and at most
// once. Where the first physical line settles the row (almost every line), the line is
// neither put together nor decoded to find it, so a reader that skips most rows stays fast.
class PropertyReader {
public:
    // The card must outlive the reader.
    explicit PropertyReader(const CardBytes& card);
    explicit PropertyReader(CardBytes&&) = delete;

    // Moves to the next logical line; false when there is none left.
    bool next();

    // The span of the line in the card: its first byte, and the line break that ends its last
    // physical line (or the card's size).
    qsizetype offset() const { return lines_.offset(); }
    qsizetype endOffset() const { return lines_.endOffset(); }
    // Whether it runs over more than one physical line.
    bool isJoined() const { return lines_.isJoined(); }

    // The row of the property table that the line belongs to: the first row whose test its
    // property part passes. Null for a property the table lacks and for a line that is no
    // property line.
    const PropertyRow* row() {
        if (!row_)
            row_ = findRow();
        return *row_;
    }
    // Whether the line is a property line whose row is known without its text (see above).
    bool knowsRowFromFirstLine();
    // Whether the line's key (the part before ";", group dropped, trimmed) is `key`, any case.
    bool keyIs(QLatin1StringView key);

    // The logical line, decoded; valid until next().
    QStringView text() { return lines_.decodedText(); }
    // Whether the line holds a ":" and so is a property line, not a continuation line.
    bool isProperty();
    bool isBlank() { return isBlankLine(text()); }
    // The line as a property; only for property lines. Valid until next().
    const PropertyLine& property();
    const CardSyntax& syntax() const { return syntax_; }

    // The walker beneath, for readers that follow a line's physical lines themselves.
    const LineWalker& lines() const { return lines_; }

private:
    // What the first physical line told of the line when its row was found.
    enum class FirstLine { SettlesRow, NoProperty, Unsettled };
    const PropertyRow* findRow();

    CardLineWalker lines_;
    CardSyntax syntax_;
    std::optional<FirstLine> firstLine_;
    std::optional<const PropertyRow*> row_;
    std::optional<PropertyLine> property_;
};

}  // namespace pennacle
