#include "cards/duplicates.h"

#include "cards/propertyreader.h"
#include "cards/propertyvalues.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <future>
#include <numeric>
#include <optional>
#include <thread>

namespace pennacle {

namespace {

// A shared address or number ties at most this many contacts together one by one; beyond it
// (an office's switchboard on a thousand cards) the rest are tied to the first ones only, so
// matching stays linear.
constexpr size_t kPairsPerContact = 32;

void addUnique(std::vector<QByteArray>& values, QByteArray value) {
    if (!value.isEmpty() && std::find(values.begin(), values.end(), value) == values.end())
        values.push_back(std::move(value));
}

// One walk over a card: only N, FN, EMAIL and TEL lines are read closely.
class KeysWalk {
public:
    KeysWalk(const CardBytes& card, PhoneKeys& phones) : lines_(card), phones_(phones) {}

    DuplicateKeys run() {
        while (lines_.next())
            takeLine();
        if (keys_.name.isEmpty() && formatted_)
            keys_.name = personNameFromFormatted(*formatted_);
        return std::move(keys_);
    }

private:
    void takeLine() {
        const PropertyRow* row = lines_.row();
        if (isMatched(row))
            take(row->rule, lines_.property());
    }

    static bool isMatched(const PropertyRow* row) {
        return row && (row->rule == Rule::Name || row->rule == Rule::FormattedName ||
                       row->rule == Rule::Email || row->rule == Rule::Telephone);
    }

    void take(Rule rule, const PropertyLine& line) {
        switch (rule) {
            case Rule::Name:
                takeName(line);
                break;
            case Rule::FormattedName:
                if (!formatted_)
                    formatted_ = formattedNameOf(line);
                break;
            case Rule::Email:
                addUnique(
                    keys_.emails,
                    QStringView(emailAddressOf(line)).trimmed().toString().toLower().toUtf8());
                break;
            default:
                addUnique(keys_.phones, phones_.keyOf(phoneNumberOf(line)));
                break;
        }
    }

    void takeName(const PropertyLine& line) {
        if (!keys_.name.isEmpty())
            return;
        const QList<QStringView> parts = componentsOf(line);
        const auto part = [&](qsizetype i) -> QString {
            return i < parts.size() ? QString(shownComponent(line, parts[i])) : QString();
        };
        keys_.name = personName(part(0), part(1), part(2));
    }

    PropertyReader lines_;
    PhoneKeys& phones_;
    std::optional<QString> formatted_;
    DuplicateKeys keys_;
};

// Contacts joined into groups, with the reasons that joined them.
class Groups {
public:
    explicit Groups(size_t n) : parent_(n), reasons_(n, 0) {
        std::iota(parent_.begin(), parent_.end(), size_t(0));
    }

    void join(size_t a, size_t b, DuplicateReason reason) {
        const size_t ra = root(a);
        const size_t rb = root(b);
        const size_t keep = std::min(ra, rb);
        const size_t gone = std::max(ra, rb);
        parent_[gone] = keep;
        reasons_[keep] |= reasons_[gone] | reason;
    }

    // Groups of two or more, by their first row; rows ascending.
    std::vector<DuplicateGroup> list() {
        const size_t n = parent_.size();
        std::vector<size_t> sizes(n, 0);
        for (size_t i = 0; i < n; ++i)
            ++sizes[root(i)];
        std::vector<DuplicateGroup> groups;
        std::vector<qsizetype> groupOf(n, -1);
        for (size_t i = 0; i < n; ++i) {
            const size_t r = root(i);
            if (sizes[r] < 2)
                continue;
            if (groupOf[r] < 0) {
                groupOf[r] = qsizetype(groups.size());
                groups.push_back({{}, reasons_[r]});
            }
            groups[size_t(groupOf[r])].rows.push_back(qsizetype(i));
        }
        return groups;
    }

private:
    size_t root(size_t i) {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }

    std::vector<size_t> parent_;
    std::vector<unsigned> reasons_;
};

// Both have some, and not the same ones (values are unique within each).
bool setsDiffer(const std::vector<QByteArray>& a, const std::vector<QByteArray>& b) {
    if (a.empty() || b.empty())
        return false;
    return a.size() != b.size() || !std::is_permutation(a.begin(), a.end(), b.begin());
}

using Buckets = QHash<QByteArray, std::vector<size_t>>;

// Ties each contact of a bucket to the earlier ones it may be one person with.
template <class MayJoin>
void joinBuckets(const Buckets& buckets, Groups& groups, DuplicateReason reason, MayJoin mayJoin) {
    for (const std::vector<size_t>& rows : buckets) {
        for (size_t i = 1; i < rows.size(); ++i) {
            for (size_t j = 0; j < std::min(i, kPairsPerContact); ++j) {
                if (mayJoin(rows[j], rows[i]))
                    groups.join(rows[j], rows[i], reason);
            }
        }
    }
}

std::vector<DuplicateKeys> keysOfAll(std::span<const ContactEntry> contacts,
                                     const QString& region) {
    const size_t n = contacts.size();
    std::vector<DuplicateKeys> keys(n);
    const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    const size_t chunk = std::max<size_t>(1, (n + threads - 1) / threads);
    std::vector<std::future<void>> work;
    for (size_t from = 0; from < n; from += chunk) {
        work.push_back(std::async(std::launch::async, [&, from] {
            PhoneKeys phones(region);
            for (size_t i = from; i < std::min(n, from + chunk); ++i)
                keys[i] = duplicateKeysOf(contacts[i].card, phones);
        }));
    }
    for (auto& w : work)
        w.get();
    return keys;
}

}  // namespace

QString duplicateReasonsText(unsigned reasons) {
    static const std::pair<DuplicateReason, const char*> kTexts[] = {{SameCard, "same card"},
                                                                     {SameEmail, "same e-mail"},
                                                                     {SamePhone, "same phone"},
                                                                     {SameName, "same name"}};
    QStringList texts;
    for (const auto& [reason, text] : kTexts) {
        if (reasons & reason)
            texts << QLatin1String(text);
    }
    return texts.join(QStringLiteral(", "));
}

DuplicateKeys duplicateKeysOf(const CardBytes& card, PhoneKeys& phones) {
    return KeysWalk(card, phones).run();
}

std::vector<DuplicateGroup> findDuplicates(std::span<const ContactEntry> contacts,
                                           const QString& region) {
    const std::vector<DuplicateKeys> keys = keysOfAll(contacts, region);
    Buckets cards, emails, phones, names;
    // Room for every contact at once: rehashing a hundred thousand keys costs more than it.
    for (Buckets* buckets : {&cards, &emails, &phones, &names})
        buckets->reserve(qsizetype(keys.size()));
    for (size_t i = 0; i < keys.size(); ++i) {
        cards[contacts[i].card.bytes()].push_back(i);
        for (const QByteArray& email : keys[i].emails)
            emails[email].push_back(i);
        for (const QByteArray& phone : keys[i].phones)
            phones[phone].push_back(i);
        if (const QByteArray name = sameNameKey(keys[i].name); !name.isEmpty())
            names[name].push_back(i);
    }
    Groups groups(keys.size());
    const auto always = [](size_t, size_t) { return true; };
    const auto namesAgree = [&](size_t a, size_t b) {
        return !namesConflict(keys[a].name, keys[b].name);
    };
    const auto nothingDiffers = [&](size_t a, size_t b) {
        return !setsDiffer(keys[a].emails, keys[b].emails) &&
               !setsDiffer(keys[a].phones, keys[b].phones);
    };
    joinBuckets(cards, groups, SameCard, always);
    joinBuckets(emails, groups, SameEmail, namesAgree);
    joinBuckets(phones, groups, SamePhone, namesAgree);
    joinBuckets(names, groups, SameName, nothingDiffers);
    return groups.list();
}

}  // namespace pennacle
