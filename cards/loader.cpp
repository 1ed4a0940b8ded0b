#include "cards/loader.h"

#include "cards/photolines.h"
#include "cards/propertytable.h"
#include "cards/propertyvalues.h"
#include "vcard/cardlines.h"
#include "vcard/photovalue.h"
#include "vcard/propertyline.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace pennacle {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// What one load builds up beside the form.
struct Loading {
    const CardBytes& card;
    qsizetype lineOffset = 0;  // of the line being read
    CardForm form;             // starts as the emptied form
    QString formattedName;     // of the first FN line
};

void applyFormattedName(Loading& loading, const PropertyLine& line) {
    if (loading.formattedName.isEmpty())
        loading.formattedName = formattedNameOf(line);
}

void applyName(Loading& loading, const PropertyLine& line) {
    static constexpr FormField kFields[] = {LastName, FirstName, MiddleInitial, Title};
    const QList<QStringView> components = componentsOf(line);
    const qsizetype count = std::min<qsizetype>(components.size(), std::size(kFields));
    for (qsizetype i = 0; i < count; ++i)
        loading.form[kFields[i]] = shownComponent(line, components[i]);
}

void applyCompany(Loading& loading, const PropertyLine& line) {
    loading.form[Company] = shownValue(line);
}

void applyTitle(Loading& loading, const PropertyLine& line) {
    loading.form[Title] = shownValue(line);
}

bool isDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QDate dateOf(QStringView year, QStringView month, QStringView day) {
    if (!isDigits(year) || !isDigits(month) || !isDigits(day))
        return QDate();
    return QDate(year.toInt(), month.toInt(), day.toInt());
}

// Eight digits (19800517) or an ISO date (1980-05-17); a time after "T" is left out.
QDate birthdayOf(QStringView text) {
    const qsizetype time = text.indexOf(u'T', 0, Qt::CaseInsensitive);
    if (time >= 0)
        text = text.left(time);
    if (text.size() >= 8) {
        const QDate compact = dateOf(text.left(4), text.mid(text.size() - 4, 2), text.right(2));
        if (compact.isValid())
            return compact;
    }
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-')
        return dateOf(text.left(4), text.mid(5, 2), text.mid(8, 2));
    return QDate();
}

// Only a date that the picker can hold fills it; any other birthday, one without a year
// among them, leaves the form without one.
void applyBirthday(Loading& loading, const PropertyLine& line) {
    const QDate date = birthdayOf(shownValue(line));
    if (date.isValid() && date >= firstBirthday())
        loading.form.dtpBirthday = date;
}

void applyEmail(Loading& loading, const PropertyLine& line) {
    CardForm& form = loading.form;
    const QString address = emailAddressOf(line);
    // An empty last line must not leave the rebuild without any address.
    if (!trimBlanks(address).isEmpty())
        form[HiddenEmail] = address;
    form.Combo1.append(address);
    form.Combo2.append(emailTypeOf(line));
    form.Combo1Index = 0;
}

void applyUrl(Loading& loading, const PropertyLine& line) {
    CardForm& form = loading.form;
    const bool work = hasParameter(line.part(), QLatin1String("WORK"));
    form[work ? WebsiteWork : WebsiteHome] = shownValue(line);
}

// A street part of a 2.1 card: "\n" and the quoted-printable breaks "=0D=0A" and "=0D" become
// blanks. A 3.0/4.0 card's "\n" is an escape, decoded with the others.
QString cleanAddressPart(QStringView part, bool escapes) {
    QString text = part.toString();
    if (!escapes)
        text.replace(QLatin1String("\\n"), QLatin1String(" "));
    text.replace(QLatin1String("=0D=0A"), QLatin1String(" "));
    text.replace(QLatin1String("=0D"), QLatin1String(" "));
    return text;
}

// Address fields are single lines: each CR LF, CR or LF becomes one space.
QString withBreaksAsSpaces(const QString& text) {
    QString result = text;
    result.replace(kCrLf, QLatin1String(" "));
    result.replace(u'\r', u' ');
    result.replace(u'\n', u' ');
    return result;
}

void applyAddress(Loading& loading, const PropertyLine& line) {
    CardForm& form = loading.form;
    const bool work = hasParameter(line.part(), QLatin1String("WORK"));
    const QList<QStringView> c = componentsOf(line);
    // Address fields are not trimmed; only the line's closing CR goes.
    auto shown = [&](QStringView component) {
        return withBreaksAsSpaces(line.shown(withoutLineEnd(component), Piece::Component));
    };
    auto street = [&](QStringView component) {
        return withBreaksAsSpaces(line.shown(
            cleanAddressPart(withoutLineEnd(component), line.escapes()), Piece::Component));
    };
    if (c.size() >= 3) {
        if (work) {
            form[WorkAddress] = street(c[2]);
        } else if (!c[1].isEmpty()) {
            form[HomeAddress] = street(c[1]) + QLatin1Char(' ') + street(c[2]);
        } else {
            form[HomeAddress] = street(c[2]);
        }
    } else if (c.size() == 2 && !work && !withoutLineEnd(c[1]).isEmpty()) {
        // Only an extended address: the home address has room for it, the work address none.
        form[HomeAddress] = street(c[1]);
    }
    if (c.size() >= 4)
        form[work ? WorkCity : HomeCity] = shown(c[3]);
    if (c.size() >= 5)
        form[work ? WorkRegion : HomeRegion] = shown(c[4]);
    if (c.size() >= 6)
        form[work ? WorkZip : HomeZip] = shown(c[5]);
    if (c.size() >= 7) {
        form[work ? WorkCountry : HomeCountry] = withBreaksAsSpaces(shownComponent(line, c[6]));
    }
}

void applyTelephone(Loading& loading, const PropertyLine& line) {
    CardForm& form = loading.form;
    const PhoneKind kind = phoneKindOf(line.part());
    form[phoneKind(kind).field] = phoneNumberOf(line);
    if (hasParameter(trimBlanks(line.part()), QLatin1String("PREF")))
        form.preferred(kind) = true;
    // A card that marks no number as preferred so far gets its numbers marked.
    if (std::none_of(form.Check1.begin(), form.Check1.end(), [](bool b) { return b; })) {
        for (const PhoneKindInfo& info : kPhoneKinds) {
            if (!trimBlanks(form[info.field]).isEmpty())
                form.preferred(info.kind) = true;
        }
    }
}

void applyNote(Loading& loading, const PropertyLine& line) {
    loading.form[Notes] = noteOf(line);
}

void appendNoteLine(CardForm& form, QStringView line, bool escapes) {
    form[Notes].append(kCrLf).append(noteLineOf(line, escapes));
}

void applyPhoto(Loading& loading, const PropertyLine& line) {
    addPhotoRow(loading.form.photos, loading.card, loading.lineOffset, line.part());
}

void applyNothing(Loading&, const PropertyLine&) {}

using Applier = void (*)(Loading&, const PropertyLine&);

// Indexed by Rule.
constexpr Applier kAppliers[] = {
    applyNothing, applyFormattedName, applyName, applyCompany, applyBirthday,  applyTitle,
    applyEmail,   applyUrl,           applyNote, applyAddress, applyTelephone, applyPhoto,
};
static_assert(std::size(kAppliers) == size_t(Rule::Photo) + 1);

// A card without a name in N shows its FN as the first name, so that an edit writes the name
// back into N and FN instead of erasing it. The signs at its ends that the rebuild writes as
// blanks (";", ":", "\\") go with the blanks, so that the rebuilt name reads back the same.
void showFormattedName(CardForm& form, QStringView formattedName) {
    if (!form[LastName].isEmpty() || !form[FirstName].isEmpty() || !form[MiddleInitial].isEmpty())
        return;
    const auto edge = [](QChar c) { return c == u' ' || c == u';' || c == u':' || c == u'\\'; };
    while (!formattedName.isEmpty() && edge(formattedName.front()))
        formattedName = formattedName.sliced(1);
    while (!formattedName.isEmpty() && edge(formattedName.back()))
        formattedName.chop(1);
    form[FirstName] = formattedName.toString();
}

bool isPhotoRule(const PropertyRow* row) {
    return row && row->rule == Rule::Photo;
}

}  // namespace

bool isPhotoType(QStringView photoType) {
    if (!photoType.endsWith(u':') || photoType.startsWith(u' ') || photoType.startsWith(u'\t'))
        return false;
    // The ":" that ends the type must be the one that ends the property part: a quoted
    // parameter value may hold colons of its own.
    const QStringView part = photoType.chopped(1);
    return propertyColonOf(photoType) == part.size() && !part.contains(u'\r') &&
           !part.contains(u'\n') && isPhotoRule(propertyRowOf(part));
}

namespace {

// One load: walks the card's lines and applies the row of each, guarded step by step.
class CardLoader {
public:
    CardLoader(const CardBytes& card, Reporter& reporter)
        : g_(reporter, procedureTag("Form1", "LoadVCFData")),
          loading_{card, 0, CardForm(), QString()} {}

    CardForm load() {
        g_(100, [&] {
            lines_.emplace(loading_.card);
            syntax_.emplace(loading_.card, lines_->dropsBlank());
        });
        while (lines_ && lines_->next()) {
            loading_.lineOffset = lines_->offset();
            if (!tookFoldedPhoto())
                takeLine(lines_->decodedText());
        }
        return finish();
    }

private:
    // A photo folded over many lines is read from the card itself: its joined text is never
    // needed, nor made.
    bool tookFoldedPhoto() {
        if (!lines_->isJoined() || lines_->settledColon() < 0)
            return false;
        const QString part = lines_->decoded(lines_->firstLine().first(lines_->settledColon()));
        const PropertyRow* row = nullptr;
        g_(104, [&] { row = propertyRowOf(part); });
        if (!isPhotoRule(row))
            return false;
        noteFlag_ = false;
        g_(row->loaderStep,
           [&] { addPhotoRow(loading_.form.photos, loading_.card, loading_.lineOffset, part); });
        return true;
    }

    void takeLine(QStringView text) {
        if (isBlankLine(text))
            return;
        if (!isPropertyLine(text)) {
            g_(102, [&] {
                if (noteFlag_)
                    appendNoteLine(loading_.form, text, syntax_->escapes());
            });
            return;
        }
        const PropertyLine property(text, *syntax_);
        const PropertyRow* row = nullptr;
        g_(104, [&] { row = propertyRowOf(property.part()); });
        noteFlag_ = row && row->rule == Rule::Note;
        if (row && row->rule != Rule::None)
            g_(row->loaderStep, [&] { kAppliers[size_t(row->rule)](loading_, property); });
    }

    CardForm finish() {
        CardForm& form = loading_.form;
        g_(128, [&] { showFormattedName(form, loading_.formattedName); });
        g_(130, [&] { form.photoIndex = form.photos.empty() ? 0 : 1; });
        g_(132, [&] { form.Combo1Index = form.Combo1.isEmpty() ? -1 : 0; });
        return std::move(form);
    }

    Guard g_;
    Loading loading_;
    std::optional<CardLineWalker> lines_;
    std::optional<CardSyntax> syntax_;
    bool noteFlag_ = false;  // continuation lines go on with the note before them
};

}  // namespace

CardForm loadCardForm(const CardBytes& card, Reporter& reporter) {
    return CardLoader(card, reporter).load();
}

}  // namespace pennacle
