#include "cards/propertyreader.h"

namespace pennacle {

PropertyReader::PropertyReader(const CardBytes& card)
    : lines_(card), syntax_(card, lines_.dropsBlank()) {}

bool PropertyReader::knowsRowFromFirstLine() {
    row();
    return firstLine_ == FirstLine::SettlesRow;
}

bool PropertyReader::next() {
    property_.reset();
    row_.reset();
    firstLine_.reset();
    return lines_.next();
}

const PropertyRow* PropertyReader::findRow() {
    const std::optional<QByteArrayView> key = lines_.plainKey();
    const std::optional<QByteArrayView> part = lines_.settledPartWithoutGroup();
    if (part) {
        // propertyRowOf reads a part with CR, or a tab before its name, as the rebuild writes
        // it: a key without either reads the same both ways.
        if (!key->startsWith('\t') && !lines_.plainKeyHoldsCr()) {
            firstLine_ = FirstLine::SettlesRow;
            return propertyRowOfPlainPart(*key, *part, lines_.settledPartHasParameters());
        }
    }
    // Without a key the first line holds no ":" before a quote; without a quote, none at all.
    if (!key && !lines_.isJoined() && !holdsChar(lines_.firstLine(), '"')) {
        firstLine_ = FirstLine::NoProperty;
        return nullptr;
    }
    firstLine_ = FirstLine::Unsettled;
    // A colon on the first line ends the part there: a folded photo is never put together.
    if (const qsizetype colon = lines_.settledColon(); colon >= 0)
        return propertyRowOf(lines_.decoded(lines_.firstLine().first(colon)));
    return isProperty() ? propertyRowOf(property().part()) : nullptr;
}

bool PropertyReader::keyIs(QLatin1StringView key) {
    if (const std::optional<QByteArrayView> plain = lines_.plainKey())
        return equalsIgnoringAsciiCase(*plain, key);
    return pennacle::keyIs(propertyPartOf(text()), QLatin1String(key));
}

bool PropertyReader::isProperty() {
    if (lines_.settledColon() >= 0)
        return true;
    if (firstLine_ == FirstLine::NoProperty)
        return false;
    return isPropertyLine(text());
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
