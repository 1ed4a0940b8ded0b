#include "cards/propertytable.h"

#include "cards/photohead.h"

#include <algorithm>
#include <limits>

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

// A key of one to eight ASCII characters as one number, letters in lower case: keys compare
// as numbers. 0 for any other text.
template <class Char>
constexpr quint64 packedKey(const Char* text, qsizetype size) {
    if (size < 1 || size > 8)
        return 0;
    quint64 packed = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = char16_t(text[i]);  // a negative char is no ASCII either
        if (c == 0 || c >= 0x80)
            return 0;
        packed = packed << 8 | (c >= u'A' && c <= u'Z' ? c + 32 : c);
    }
    return packed;
}

constexpr quint64 packedKey(QLatin1StringView name) {
    return packedKey(name.data(), name.size());
}

quint64 packedKey(QStringView key) {
    return packedKey(key.utf16(), key.size());
}

quint64 packedKey(QByteArrayView key) {
    return packedKey(key.data(), key.size());
}

// The packed key of each Key row, 0 for the others.
constexpr auto kPackedKeys = [] {
    std::array<quint64, kProperties.size()> keys{};
    for (size_t i = 0; i < kProperties.size(); ++i) {
        if (kProperties[i].test == Test::Key)
            keys[i] = packedKey(kProperties[i].name);
    }
    return keys;
}();

static_assert(std::all_of(kProperties.begin(), kProperties.end(), [](const PropertyRow& row) {
    return row.test != Test::Key || packedKey(row.name) != 0;
}));

// The Key rows by their packed keys, in a table of open addressing: a key is found in one or
// two probes, not by trying every row.
constexpr size_t kKeySlots = 64;

constexpr size_t keySlotOf(quint64 packed) {
    return size_t((packed * 0x9E3779B97F4A7C15ULL) >> 58);
}

constexpr auto kKeyTable = [] {
    std::array<qint8, kKeySlots> table{};
    table.fill(-1);
    for (size_t i = 0; i < kPackedKeys.size(); ++i) {
        if (kPackedKeys[i] == 0)
            continue;
        size_t slot = keySlotOf(kPackedKeys[i]);
        bool taken = false;  // by an earlier row of the same name, which decides
        while (table[slot] >= 0 && !taken) {
            taken = kPackedKeys[size_t(table[slot])] == kPackedKeys[i];
            slot = taken ? slot : (slot + 1) % kKeySlots;
        }
        if (!taken)
            table[slot] = qint8(i);
    }
    return table;
}();

const PropertyRow* rowOfPackedKey(quint64 packed) {
    if (packed == 0)
        return nullptr;
    for (size_t slot = keySlotOf(packed); kKeyTable[slot] >= 0; slot = (slot + 1) % kKeySlots) {
        if (kPackedKeys[size_t(kKeyTable[slot])] == packed)
            return &kProperties[size_t(kKeyTable[slot])];
    }
    return nullptr;
}

bool containsIgnoringAsciiCase(QByteArrayView text, QLatin1StringView name) {
    for (qsizetype i = 0; i + name.size() <= text.size(); ++i) {
        if (equalsIgnoringAsciiCase(text.sliced(i, name.size()), name))
            return true;
    }
    return false;
}

// Rows before the first Contains row that a key matches are found by the key alone: no Name
// row passes a part whose key is another name.
constexpr size_t kFirstContainsRow =
    size_t(std::find_if(kProperties.begin(), kProperties.end(),
                        [](const PropertyRow& row) { return row.test == Test::Contains; }) -
           kProperties.begin());

// The rows of a test, in the table's order.
template <Test test>
constexpr auto rowsOf() {
    constexpr size_t count =
        size_t(std::count_if(kProperties.begin(), kProperties.end(),
                             [](const PropertyRow& row) { return row.test == test; }));
    std::array<const PropertyRow*, count> rows{};
    size_t n = 0;
    for (const PropertyRow& row : kProperties) {
        if (row.test == test)
            rows[n++] = &row;
    }
    return rows;
}

constexpr auto kContainsRows = rowsOf<Test::Contains>();
constexpr auto kNameRows = rowsOf<Test::Name>();

constexpr qsizetype kShortestContainsName = [] {
    qsizetype shortest = std::numeric_limits<qsizetype>::max();
    for (const PropertyRow* row : kContainsRows)
        shortest = std::min(shortest, row->name.size());
    return shortest;
}();

}  // namespace

const PropertyRow* propertyRowOfPlainPart(QByteArrayView key, QByteArrayView partWithoutGroup,
                                          bool hasParameters) {
    const PropertyRow* keyRow = propertyRowOfKey(key);
    if (keyRow && size_t(keyRow - kProperties.data()) < kFirstContainsRow)
        return keyRow;
    // Name rows pass a part that is their name alone, and no name holds the name of a Contains
    // row: which of the two is tried first does not matter. Names hold no ";", and ASCII names
    // match bytes as they match the decoded text.
    if (partWithoutGroup.size() >= kShortestContainsName) {
        for (const PropertyRow* row : kContainsRows) {
            if (keyRow && row > keyRow)
                break;
            if (containsIgnoringAsciiCase(partWithoutGroup, row->name))
                return row;
        }
    }
    if (keyRow || hasParameters)
        return keyRow;
    for (const PropertyRow* row : kNameRows) {
        if (equalsIgnoringAsciiCase(key, row->name))
            return row;
    }
    return nullptr;
}

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
    return rowOfPackedKey(packedKey(key));
}

const PropertyRow* propertyRowOfKey(QByteArrayView key) {
    return rowOfPackedKey(packedKey(key));
}

ValueShape valueShapeOf(QStringView name) {
    const auto row =
        std::find_if(kProperties.begin(), kProperties.end(),
                     [&](const PropertyRow& r) { return equalsIgnoringAsciiCase(name, r.name); });
    return row == kProperties.end() ? ValueShape::Compound : row->shape;
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

std::vector<CardLine> splitCardLines(const CardBytes& card) {
    return splitLines(card, &isPhotoProperty);
}

}  // namespace pennacle
