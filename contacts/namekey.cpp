#include "contacts/namekey.h"

#include "contacts/searchfold.h"

#include <QString>

#include <algorithm>
#include <iterator>

namespace pennacle {

namespace {

// The umlauts as German spells them without the dots; other accents are dropped by folding.
constexpr struct {
    char16_t letter;
    const char* spelled;
} kUmlauts[] = {{u'\u00C4', "Ae"}, {u'\u00D6', "Oe"}, {u'\u00DC', "Ue"},
                {u'\u00E4', "ae"}, {u'\u00F6', "oe"}, {u'\u00FC', "ue"}};

QString transcribed(QStringView text) {
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        const auto umlaut = std::find_if(std::begin(kUmlauts), std::end(kUmlauts),
                                         [c](const auto& u) { return u.letter == c.unicode(); });
        if (umlaut == std::end(kUmlauts))
            out += c;
        else
            out += QLatin1StringView(umlaut->spelled);
    }
    return out;
}

// The code point at `i`, a surrogate pair taken whole; `i` moves past it.
char32_t codePointAt(QStringView text, qsizetype& i) {
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    return c.unicode();
}

// Middle initials ("John F. Kennedy") say nothing against another spelling of the name.
void dropInitials(std::vector<QByteArray>& words) {
    std::erase_if(words, [](const QByteArray& word) { return word.size() == 1; });
}

bool holdsAll(const std::vector<QByteArray>& words, const std::vector<QByteArray>& part) {
    return std::all_of(part.begin(), part.end(), [&](const QByteArray& word) {
        return std::find(words.begin(), words.end(), word) != words.end();
    });
}

QByteArray joined(const std::vector<QByteArray>& words) {
    QByteArray out;
    for (const QByteArray& word : words) {
        if (!out.isEmpty())
            out += ' ';
        out += word;
    }
    return out;
}

}  // namespace

std::vector<QByteArray> nameWords(QStringView text) {
    // Words of letters and digits only: signs, marks and invisible characters split them.
    const QString folded = QString::fromUtf8(foldForSearch(transcribed(text)));
    std::vector<QByteArray> words;
    QString word;
    for (qsizetype i = 0; i <= folded.size();) {
        const qsizetype start = i;
        const bool inWord = i < folded.size() && QChar::isLetterOrNumber(codePointAt(folded, i));
        if (inWord) {
            word += QStringView(folded).sliced(start, i - start);
            continue;
        }
        if (!word.isEmpty())
            words.push_back(word.toUtf8());
        word.clear();
        if (i == start)
            ++i;
    }
    return words;
}

PersonName personName(QStringView family, QStringView given, QStringView middle) {
    PersonName name{nameWords(given), nameWords(family)};
    std::vector<QByteArray> more = nameWords(middle);
    name.given.insert(name.given.end(), more.begin(), more.end());
    dropInitials(name.given);
    return name;
}

PersonName personNameFromFormatted(QStringView formatted) {
    const qsizetype comma = formatted.indexOf(u',');
    if (comma >= 0)
        return personName(formatted.first(comma), formatted.sliced(comma + 1), {});
    std::vector<QByteArray> words = nameWords(formatted);
    PersonName name;
    if (words.empty())
        return name;
    if (words.size() > 1) {
        name.family.assign(words.begin() + 1, words.end());
        words.resize(1);
    }
    name.given = std::move(words);
    dropInitials(name.given);
    dropInitials(name.family);
    return name;
}

bool namesConflict(const PersonName& a, const PersonName& b) {
    if (!a.given.empty() && !b.given.empty() && a.given != b.given)
        return true;
    if (a.family.empty() || b.family.empty())
        return false;
    return !holdsAll(a.family, b.family) && !holdsAll(b.family, a.family);
}

QByteArray sameNameKey(const PersonName& name) {
    if (name.given.empty() || name.family.empty())
        return {};
    std::vector<QByteArray> family = name.family;
    std::sort(family.begin(), family.end());
    return joined(name.given) + '|' + joined(family);
}

}  // namespace pennacle
