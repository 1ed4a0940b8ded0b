// Any number and any name, and any card: the keys that duplicates are matched by are made
// without failing, and made again from themselves they stay the same; a name never conflicts
// with itself. The first byte chooses the region; of the text after it, the first line is a
// number, the second a formatted name, the rest a card.
#include "cards/duplicates.h"
#include "fuzzsupport.h"

namespace {

const char* const kRegions[] = {"DE", "US", "IT", "FR", "GB", "BR", "JP", "ZZ"};

QByteArray joined(const std::vector<QByteArray>& words) {
    QByteArray out;
    for (const QByteArray& word : words)
        out += word + ' ';
    return out;
}

void checkName(const pennacle::PersonName& name) {
    using namespace pennacle;
    FUZZ_CHECK(!namesConflict(name, name));
    const PersonName again = personName(QString::fromUtf8(joined(name.family)),
                                        QString::fromUtf8(joined(name.given)), {});
    FUZZ_CHECK(again.given == name.given);
    FUZZ_CHECK(again.family == name.family);
    FUZZ_CHECK(sameNameKey(again) == sameNameKey(name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pennacle;
    if (size < 1)
        return 0;
    PhoneKeys phones{QLatin1String(kRegions[data[0] % std::size(kRegions)])};
    const QString text = fuzz::textOf(data + 1, size - 1);
    const QStringList lines = text.split(u'\n');
    const QByteArray key = phones.keyOf(lines[0]);
    FUZZ_CHECK(phones.keyOf(QString::fromUtf8(key)) == key);
    const std::vector<QByteArray> words = nameWords(lines.value(1));
    FUZZ_CHECK(nameWords(QString::fromUtf8(joined(words))) == words);
    checkName(personNameFromFormatted(lines.value(1)));
    const DuplicateKeys keys = duplicateKeysOf(fuzz::cardOf(data + 1, size - 1), phones);
    checkName(keys.name);
    for (const QByteArray& phone : keys.phones)
        FUZZ_CHECK(phones.keyOf(QString::fromUtf8(phone)) == phone);
    return 0;
}
