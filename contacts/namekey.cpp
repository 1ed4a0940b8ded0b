#include "contacts/namekey.h"

#include "contacts/searchfold.h"

#include <QString>

#include <algorithm>

namespace pennacle {

namespace {

// The umlauts as German spells them without the dots; other accents are dropped by folding.
QString transcribed(QStringView text) {
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'\u00C4':
                out += u"Ae";
                break;
            case u'\u00D6':
                out += u"Oe";
                break;
            case u'\u00DC':
                out += u"Ue";
                break;
            case u'\u00E4':
                out += u"ae";
                break;
            case u'\u00F6':
                out += u"oe";
                break;
            case u'\u00FC':
                out += u"ue";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool isWordByte(char c) {
    // Folded text is UTF-8: bytes of other letters are kept whole.
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z');
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
    const QByteArray folded = foldForSearch(transcribed(text));
    std::vector<QByteArray> words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool inWord = i < folded.size() && isWordByte(folded[i]);
        if (inWord && start < 0) {
            start = i;
        } else if (!inWord && start >= 0) {
            words.push_back(folded.mid(start, i - start));
            start = -1;
        }
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
