#include "cards/loader.h"

#include "cards/cardlines.h"
#include "cards/photolines.h"
#include "cards/quotedprintable.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace pennacle {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

enum class Rule {
    None,
    Ignored,
    Name,
    Company,
    Birthday,
    WebsiteHome,
    WebsiteWork,
    Title,
    Email,
    Url,
    Note,
    Address,
    Telephone,
    Photo,
};

// The first rule whose test passes; the order decides, e.g. "URL;WORK" before any URL.
Rule matchRule(QStringView part) {
    if (nameIs(part, QLatin1String("FN")))
        return Rule::Ignored;
    if (keyIs(part, QLatin1String("N")))
        return Rule::Name;
    if (keyIs(part, QLatin1String("ORG")))
        return Rule::Company;
    if (keyIs(part, QLatin1String("BDAY")))
        return Rule::Birthday;
    if (nameIs(part, QLatin1String("NICKNAME")))
        return Rule::Ignored;
    if (nameIs(part, QLatin1String("URL;HOME")))
        return Rule::WebsiteHome;
    if (nameIs(part, QLatin1String("URL;WORK")))
        return Rule::WebsiteWork;
    if (keyIs(part, QLatin1String("TITLE")))
        return Rule::Title;
    if (nameIs(part, QLatin1String("ROLE")))
        return Rule::Ignored;
    if (keyIs(part, QLatin1String("EMAIL")))
        return Rule::Email;
    if (keyIs(part, QLatin1String("URL")))
        return Rule::Url;
    if (keyIs(part, QLatin1String("NOTE")))
        return Rule::Note;
    if (keyIs(part, QLatin1String("ADR")))
        return Rule::Address;
    if (keyIs(part, QLatin1String("TEL")))
        return Rule::Telephone;
    if (isPhotoProperty(part))
        return Rule::Photo;
    return Rule::None;
}

// One property line: its parts and how its value is encoded.
struct PropertyLine {
    explicit PropertyLine(QStringView line)
        : part(propertyPartOf(line)),
          value(valueOf(line)),
          quotedPrintable(isQuotedPrintable(part)) {}

    // A quoted-printable text decoded in the line's character set; any other text unchanged.
    QString decoded(const QString& text) const {
        return quotedPrintable ? DecodeQuotedPrintable(text, charsetOf(part)) : text;
    }

    QStringView part;
    QStringView value;  // ends with the line's CR, if it has one
    bool quotedPrintable;
};

// Value trimmed and stripped of CR: the plain single fields.
QString plainValue(QStringView value) {
    return stripCR(trimBlanks(value));
}

// The value's components, split at ";"; an empty value has none.
QList<QStringView> componentsOf(QStringView value) {
    const QStringView trimmed = trimBlanks(withoutLineEnd(value));
    return trimmed.isEmpty() ? QList<QStringView>() : trimmed.split(u';');
}

void applyNameRule(CardForm& form, const PropertyLine& line) {
    static constexpr FormField kFields[] = {LastName, FirstName, MiddleInitial, Title};
    const QList<QStringView> components = componentsOf(line.value);
    const qsizetype count = std::min<qsizetype>(components.size(), std::size(kFields));
    for (qsizetype i = 0; i < count; ++i) {
        form[kFields[i]] = line.decoded(plainValue(components[i]));
    }
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

// Eight digits (19800517) or an ISO date (1980-05-17, maybe with a time after "T").
QDate birthdayOf(const QString& text) {
    if (text.size() >= 8) {
        const QDate compact =
            dateOf(QStringView(text).left(4), QStringView(text).mid(text.size() - 4, 2),
                   QStringView(text).right(2));
        if (compact.isValid())
            return compact;
    }
    static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})(T.*)?$"));
    const QRegularExpressionMatch match = iso.match(text);
    return match.hasMatch()
               ? dateOf(match.capturedView(1), match.capturedView(2), match.capturedView(3))
               : QDate();
}

void applyBirthdayRule(CardForm& form, const PropertyLine& line) {
    const QDate date = birthdayOf(line.decoded(plainValue(line.value)));
    if (date.isValid())
        form.dtpBirthday = date;
}

// The second ";" piece of the property part, upper-cased, or "EMAIL" when there is none.
QString emailTypeOf(QStringView part) {
    const QList<QStringView> pieces = trimBlanks(part).split(u';');
    if (pieces.size() >= 2) {
        QString type = trimBlanks(pieces[1]).toString().toUpper();
        if (!type.isEmpty())
            return type;
    }
    return QStringLiteral("EMAIL");
}

void applyEmailRule(CardForm& form, const PropertyLine& line) {
    const QString address = stripCR(line.value);
    // An empty last line must not leave the rebuild without any address.
    if (!trimBlanks(address).isEmpty())
        form[HiddenEmail] = address;
    form.Combo1.append(address);
    form.Combo2.append(emailTypeOf(line.part));
    form.Combo1Index = 0;
}

// Appends the text with every line break (CR LF, lone CR, lone LF) as CR LF.
void appendWithCrLfBreaks(QString& out, QStringView text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.sliced(start, i - start));
        out.append(kCrLf);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    out.append(text.sliced(start));
}

bool hasLoneBreak(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            return true;
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return true;
    }
    return false;
}

// A note can be as long as the file: it is changed in place where it can be, not copied.
QString withCrLfBreaks(QString text) {
    if (!hasLoneBreak(text))
        return text;
    QString result;
    result.reserve(text.size() + text.size() / 16);
    appendWithCrLfBreaks(result, text);
    return result;
}

QString withoutEndBlanks(QString text) {
    const QStringView kept = trimBlanks(text);
    const qsizetype start = kept.data() - text.constData();
    text.truncate(start + kept.size());
    text.remove(0, start);
    return text;
}

// The bare parameter that the rebuild writes for notes ("NOTE;QUOTED-PRINTABLE:").
bool hasBareQuotedPrintable(QStringView part) {
    const QList<QStringView> pieces = withoutGroup(part).split(u';');
    return std::any_of(pieces.begin() + 1, pieces.end(), [](QStringView piece) {
        return trimBlanks(piece).compare(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive) ==
               0;
    });
}

void applyNoteRule(CardForm& form, const PropertyLine& line) {
    // The line end is left out so that saving and reloading never grows the note.
    QString note = withoutLineEnd(line.value).toString();
    if (line.quotedPrintable) {
        note = line.decoded(note);
    } else if (hasBareQuotedPrintable(line.part)) {
        note.replace(QLatin1String("=0D=0A"), kCrLf);
    } else {
        note.replace(QLatin1String("=0D=0A="), kCrLf);
    }
    form[Notes] = withoutEndBlanks(withCrLfBreaks(std::move(note)));
}

void appendNoteLine(CardForm& form, QStringView line) {
    QString& notes = form[Notes];
    notes.append(kCrLf);
    appendWithCrLfBreaks(notes, trimBlanks(withoutLineEnd(line)));
}

QString cleanAddressPart(QStringView part) {
    QString text = part.toString();
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

void applyAddressRule(CardForm& form, const PropertyLine& line) {
    const bool work = hasParameter(line.part, QLatin1String("WORK"));
    const QList<QStringView> c = componentsOf(line.value);
    auto set = [&](FormField field, const QString& text) {
        form[field] = withBreaksAsSpaces(line.decoded(text));
    };
    if (c.size() >= 3) {
        if (work) {
            set(WorkAddress, cleanAddressPart(c[2]));
        } else if (!c[1].isEmpty()) {
            set(HomeAddress, cleanAddressPart(c[1]) + QLatin1Char(' ') + cleanAddressPart(c[2]));
        } else {
            set(HomeAddress, cleanAddressPart(c[2]));
        }
    }
    if (c.size() >= 4)
        set(work ? WorkCity : HomeCity, c[3].toString());
    if (c.size() >= 5)
        set(work ? WorkRegion : HomeRegion, c[4].toString());
    if (c.size() >= 6)
        set(work ? WorkZip : HomeZip, c[5].toString());
    if (c.size() >= 7)
        set(work ? WorkCountry : HomeCountry, plainValue(c[6]));
}

PhoneKind phoneKindOf(QStringView part) {
    const auto has = [&](const char* word) { return hasParameter(part, QLatin1String(word)); };
    const bool fax = has("FAX");
    if (fax && has("HOME"))
        return PhoneKind::HomeFax;
    if (fax && has("WORK"))
        return PhoneKind::WorkFax;
    if (fax)
        return PhoneKind::HomeFax;
    if (has("CELL"))
        return PhoneKind::Cellular;
    if (has("PAGER"))
        return PhoneKind::Pager;
    if (has("WORK"))
        return PhoneKind::WorkVoice;
    return PhoneKind::HomeVoice;
}

void applyTelephoneRule(CardForm& form, const PropertyLine& line) {
    const PhoneKind kind = phoneKindOf(line.part);
    form[phoneKind(kind).field] = stripCR(line.value);
    if (hasParameter(trimBlanks(line.part), QLatin1String("PREF")))
        form.preferred(kind) = true;
    // A card that marks no number as preferred so far gets its numbers marked.
    if (std::none_of(form.Check1.begin(), form.Check1.end(), [](bool b) { return b; })) {
        for (const PhoneKindInfo& info : kPhoneKinds) {
            if (!trimBlanks(form[info.field]).isEmpty())
                form.preferred(info.kind) = true;
        }
    }
}

}  // namespace

bool isPhotoType(QStringView photoType) {
    if (!photoType.endsWith(u':') || photoType.startsWith(u' ') || photoType.startsWith(u'\t'))
        return false;
    const QStringView part = photoType.chopped(1);
    return !part.contains(u':') && !part.contains(u'\r') && !part.contains(u'\n') &&
           matchRule(part) == Rule::Photo;
}

CardForm loadCardForm(const QString& card, Reporter& reporter) {
    Guard g(reporter, procedureTag("Form1", "LoadVCFData"));
    CardForm form;  // the emptied form
    std::vector<CardLine> lines;
    bool noteFlag = false;
    g(100, [&] { lines = splitCardLines(card); });
    for (const CardLine& line : lines) {
        if (isBlankLine(line.text))
            continue;
        if (!isPropertyLine(line.text)) {
            g(102, [&] {
                if (noteFlag)
                    appendNoteLine(form, line.text);
            });
            continue;
        }
        noteFlag = false;
        const PropertyLine property(line.text);
        Rule rule = Rule::None;
        g(104, [&] { rule = matchRule(property.part); });
        switch (rule) {
            case Rule::None:
            case Rule::Ignored:
                break;
            case Rule::Name:
                g(106, [&] { applyNameRule(form, property); });
                break;
            case Rule::Company:
                g(108, [&] { form[Company] = property.decoded(plainValue(property.value)); });
                break;
            case Rule::Birthday:
                g(110, [&] { applyBirthdayRule(form, property); });
                break;
            case Rule::WebsiteHome:
                g(112, [&] { form[WebsiteHome] = plainValue(property.value); });
                break;
            case Rule::WebsiteWork:
                g(114, [&] { form[WebsiteWork] = plainValue(property.value); });
                break;
            case Rule::Title:
                g(116, [&] { form[Title] = property.decoded(plainValue(property.value)); });
                break;
            case Rule::Email:
                g(118, [&] { applyEmailRule(form, property); });
                break;
            case Rule::Url:
                g(120, [&] { form[WebsiteHome] = plainValue(property.value); });
                break;
            case Rule::Note:
                g(122, [&] { applyNoteRule(form, property); });
                noteFlag = true;
                break;
            case Rule::Address:
                g(124, [&] { applyAddressRule(form, property); });
                break;
            case Rule::Telephone:
                g(126, [&] { applyTelephoneRule(form, property); });
                break;
            case Rule::Photo:
                g(128, [&] { addPhotoRow(form.photos, card, line); });
                break;
        }
    }
    g(130, [&] { form.photoIndex = form.photos.empty() ? 0 : 1; });
    g(132, [&] { form.Combo1Index = form.Combo1.isEmpty() ? -1 : 0; });
    return form;
}

}  // namespace pennacle
