#include "cards/merge.h"

#include "cards/propertytable.h"
#include "cards/rebuild.h"
#include "vcard/cardlines.h"

#include <QSet>

#include <algorithm>

namespace pennacle {

namespace {

bool isUniqueIdLine(QStringView line) {
    const std::optional<QStringView> key = plainKeyOf(line);
    return key && key->compare(kUidProperty, Qt::CaseInsensitive) == 0;
}

const CardForm& source(const std::vector<CardForm>& forms, int index) {
    return forms[size_t(std::clamp(index, 0, int(forms.size()) - 1))];
}

void mergeEmails(const std::vector<CardForm>& forms, const MergeChoices& choices,
                 CardForm& merged) {
    merged.Combo1.clear();
    merged.Combo2.clear();
    QSet<QString> seen;
    for (size_t i = 0; i < forms.size(); ++i) {
        if (!choices.allEmails && int(i) != choices.field[HiddenEmail])
            continue;
        for (qsizetype k = 0; k < forms[i].Combo1.size(); ++k) {
            const QString& address = forms[i].Combo1[k];
            if (address.isEmpty() || seen.contains(address.toLower()))
                continue;
            seen.insert(address.toLower());
            merged.Combo1 << address;
            merged.Combo2 << forms[i].Combo2.value(k);
        }
    }
    merged[HiddenEmail] = merged.Combo1.value(0);
    merged.Combo1Index = merged.Combo1.isEmpty() ? -1 : 0;
}

// Numbers of another contact than the box's own stay as lines of their own kind.
void keepOtherNumbers(const std::vector<CardForm>& forms, CardForm& merged) {
    for (const PhoneKindInfo& kind : kPhoneKinds) {
        QSet<QString> seen{merged[kind.field].trimmed()};
        for (const CardForm& form : forms) {
            const QString number = form[kind.field].trimmed();
            if (number.isEmpty() || seen.contains(number))
                continue;
            seen.insert(number);
            merged.otherLines.append(propertyName(Rule::Telephone) + u';' + kind.typeParams + u':' +
                                     number);
        }
    }
}

void mergeNotes(const std::vector<CardForm>& forms, CardForm& merged) {
    QStringList notes;
    for (const CardForm& form : forms) {
        if (!form[Notes].isEmpty() && !notes.contains(form[Notes]))
            notes << form[Notes];
    }
    merged[Notes] = notes.join(QStringLiteral("\r\n"));
}

void mergeKeptLines(const std::vector<CardForm>& forms, CardForm& merged) {
    QSet<QStringView> seen;
    for (size_t i = 0; i < forms.size(); ++i) {
        const OtherLines& lines = forms[i].otherLines;
        for (qsizetype k = 0; k < lines.count(); ++k) {
            const QStringView line = lines.at(k);
            if (seen.contains(line) || (i > 0 && isUniqueIdLine(line)))
                continue;
            seen.insert(line);
            merged.otherLines.append(line);
        }
    }
}

void mergePhotos(const std::vector<CardForm>& forms, CardForm& merged) {
    for (const CardForm& form : forms) {
        for (const PhotoEntry& photo : form.photos) {
            const bool known =
                std::any_of(merged.photos.begin(), merged.photos.end(),
                            [&](const PhotoEntry& p) { return p.PhotoData == photo.PhotoData; });
            if (!known)
                merged.photos.push_back(photo);
        }
    }
}

}  // namespace

MergeChoices defaultMergeChoices(const std::vector<CardForm>& forms) {
    MergeChoices choices;
    for (int f = 0; f < kFieldCount; ++f) {
        const auto filled = std::find_if(forms.begin(), forms.end(), [f](const CardForm& form) {
            return !form[FormField(f)].isEmpty();
        });
        choices.field[size_t(f)] = filled == forms.end() ? 0 : int(filled - forms.begin());
    }
    const auto born = std::find_if(forms.begin(), forms.end(), [](const CardForm& form) {
        return form.dtpBirthday != noBirthday();
    });
    choices.birthday = born == forms.end() ? 0 : int(born - forms.begin());
    return choices;
}

CardForm mergedForm(const std::vector<CardForm>& forms, const MergeChoices& choices) {
    if (forms.empty())
        return {};
    CardForm merged;
    for (int f = 0; f < kFieldCount; ++f)
        merged[FormField(f)] = source(forms, choices.field[size_t(f)])[FormField(f)];
    for (const PhoneKindInfo& kind : kPhoneKinds)
        merged.preferred(kind.kind) = source(forms, choices.field[kind.field]).preferred(kind.kind);
    merged.dtpBirthday = source(forms, choices.birthday).dtpBirthday;
    // Parts that no box shows go with the box they belong to.
    merged.otherParts.nameSuffix = source(forms, choices.field[LastName]).otherParts.nameSuffix;
    merged.otherParts.homePostOfficeBox =
        source(forms, choices.field[HomeAddress]).otherParts.homePostOfficeBox;
    const OtherParts& work = source(forms, choices.field[WorkAddress]).otherParts;
    merged.otherParts.workPostOfficeBox = work.workPostOfficeBox;
    merged.otherParts.workExtendedAddress = work.workExtendedAddress;
    mergeEmails(forms, choices, merged);
    if (choices.allNotes)
        mergeNotes(forms, merged);
    mergeKeptLines(forms, merged);
    if (choices.allPhones)
        keepOtherNumbers(forms, merged);
    mergePhotos(forms, merged);
    merged.photoIndex = merged.photos.empty() ? 0 : 1;
    return merged;
}

CardBytes mergeCards(const std::vector<CardForm>& forms, const MergeChoices& choices,
                     const QDateTime& now, Reporter& reporter) {
    return rebuildCard(mergedForm(forms, choices), now, reporter);
}

}  // namespace pennacle
