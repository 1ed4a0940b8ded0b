#include "cards/propertyreader.h"

namespace pennacle {

namespace {

// Whether the first physical line settles the property part and holds it as propertyRowOf
// reads it: a plain key, the colon, no blank or tab before the name and no CR in the part.
bool firstLineSettlesRow(const LineWalker& lines) {
    if (!lines.plainKey() || !lines.settledPartWithoutGroup())
        return false;
    const QByteArrayView first = lines.firstLine();
    return first.front() != ' ' && first.front() != '\t' &&
           !holdsChar(first.first(lines.settledColon()), '\r');
}

}  // namespace

PropertyReader::PropertyReader(const CardBytes& card)
    : lines_(card), syntax_(card, lines_.dropsBlank()) {}

bool PropertyReader::next() {
    property_.reset();
    row_.reset();
    if (!lines_.next())
        return false;
    settled_ = firstLineSettlesRow(lines_);
    // Without a key the first line holds no ":" before a quote; without a quote, none at all.
    plainNonProperty_ = !settled_ && !lines_.plainKey() && !lines_.isJoined() &&
                        !holdsChar(lines_.firstLine(), '"');
    return true;
}

const PropertyRow* PropertyReader::row() {
    if (row_)
        return *row_;
    if (settled_) {
        row_ = propertyRowOfPlainPart(*lines_.plainKey(), *lines_.settledPartWithoutGroup(),
                                      lines_.settledPartHasParameters());
    } else if (plainNonProperty_) {
        row_ = nullptr;
    } else if (const qsizetype colon = lines_.settledColon(); colon >= 0) {
        // The part ends on the first line: a folded photo is never put together to read it.
        row_ = propertyRowOf(lines_.decoded(lines_.firstLine().first(colon)));
    } else {
        row_ = isProperty() ? propertyRowOf(property().part()) : nullptr;
    }
    return *row_;
}

bool PropertyReader::keyIs(QLatin1StringView key) {
    if (const std::optional<QByteArrayView> plain = lines_.plainKey())
        return equalsIgnoringAsciiCase(*plain, key);
    return pennacle::keyIs(propertyPartOf(text()), QLatin1String(key));
}

bool PropertyReader::isProperty() {
    return settled_ || (!plainNonProperty_ && isPropertyLine(text()));
}

const PropertyLine& PropertyReader::property() {
    if (!property_) {
        const QStringView line = text();
        const qsizetype colon = lines_.decodedColon();
        if (colon >= 0)
            property_.emplace(line, colon, syntax_);
        else
            property_.emplace(line, syntax_);
    }
    return *property_;
}

}  // namespace pennacle
