#include "cards/propertytable.h"

#include "vcard/photovalue.h"

#include <algorithm>

namespace pennacle {

namespace {

bool passes(const PropertyRow& row, QStringView part) {
    switch (row.test) {
        case Test::Key:
            return keyIs(part, row.name);
        case Test::Name:
            return nameIs(part, row.name);
        case Test::Contains:
            return hasParameter(part, row.name);
    }
    return false;
}

bool readsAs(const PhoneKindInfo& info, QStringView part) {
    const auto has = [&](QLatin1StringView word) { return hasParameter(part, word); };
    return std::all_of(info.readWords.begin(), info.readWords.end(),
                       [&](QLatin1StringView word) { return word.isEmpty() || has(word); }) &&
           (info.unless.isEmpty() || !has(info.unless));
}

const PropertyRow* firstRowPassedBy(QStringView propertyPart) {
    const auto row = std::find_if(kProperties.begin(), kProperties.end(),
                                  [&](const PropertyRow& r) { return passes(r, propertyPart); });
    return row == kProperties.end() ? nullptr : &*row;
}

}  // namespace

const PropertyRow* propertyRowOf(QStringView propertyPart) {
    const bool rewritten =
        !propertyPart.isEmpty() && (propertyPart.front() == u' ' || propertyPart.front() == u'\t' ||
                                    propertyPart.contains(u'\r') || propertyPart.contains(u'\n'));
    if (rewritten)
        return firstRowPassedBy(photoLineHead(propertyPart.toString()));
    return firstRowPassedBy(propertyPart);
}

QLatin1StringView propertyName(Rule rule) {
    const auto row = std::find_if(kProperties.begin(), kProperties.end(),
                                  [rule](const PropertyRow& r) { return r.rule == rule; });
    return row == kProperties.end() ? QLatin1StringView() : row->name;
}

const PropertyRow* propertyRowOfKey(QStringView key) {
    for (const PropertyRow& row : kProperties) {
        if (row.test == Test::Key && equalsIgnoringAsciiCase(key, row.name))
            return &row;
    }
    return nullptr;
}

PhoneKind phoneKindOf(QStringView propertyPart) {
    const PhoneKindInfo* best = nullptr;
    for (const PhoneKindInfo& info : kPhoneKinds) {
        if ((!best || info.readRank < best->readRank) && readsAs(info, propertyPart))
            best = &info;
    }
    return best ? best->kind : PhoneKind::HomeVoice;
}

bool isPhotoProperty(QStringView propertyPart) {
    return std::any_of(kProperties.begin(), kProperties.end(), [&](const PropertyRow& row) {
        return row.rule == Rule::Photo && passes(row, propertyPart);
    });
}

std::vector<CardLine> splitCardLines(const QString& card) {
    return splitLines(card, &isPhotoProperty);
}

}  // namespace pennacle
