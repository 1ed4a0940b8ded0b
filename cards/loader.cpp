#include "cards/loader.h"

#include "cards/displayname.h"
#include "cards/photolines.h"
#include "cards/propertytable.h"
#include "vcard/cardlines.h"
#include "vcard/photovalue.h"
#include "vcard/propertyline.h"
#include "vcard/quotedprintable.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace pennacle {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

enum class Rule {
    None,
    Ignored,
    FormattedName,
    Name,
    Company,
    Birthday,
    Title,
    Email,
    Url,
    Note,
    Address,
    Telephone,
    Photo,
};

// The first rule whose test passes; the order decides, e.g. any N before a photo.
Rule matchWrittenRule(QStringView part) {
    if (keyIs(part, QLatin1String("FN")))
        return Rule::FormattedName;
    if (keyIs(part, QLatin1String("N")))
        return Rule::Name;
    if (keyIs(part, QLatin1String("ORG")))
        return Rule::Company;
    if (keyIs(part, QLatin1String("BDAY")))
        return Rule::Birthday;
    if (nameIs(part, QLatin1String("NICKNAME")))
        return Rule::Ignored;
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

// A part is judged as a photo line writes it (line breaks as blanks, no blanks or tabs before
// the name), so that a photo reads back as a photo and nothing else does.
Rule matchRule(QStringView part) {
    const bool rewritten = !part.isEmpty() && (part.front() == u' ' || part.front() == u'\t' ||
                                               part.contains(u'\r') || part.contains(u'\n'));
    return rewritten ? matchWrittenRule(photoLineHead(part.toString())) : matchWrittenRule(part);
}

// Value trimmed, then stripped of CR: a blank before the line's closing CR stays.
QString plainValue(QStringView value) {
    return stripCR(trimBlanks(value));
}

// A single-line field: its value trimmed, stripped of CR and decoded.
QString shownValue(const PropertyLine& line) {
    return line.shown(plainValue(line.value()), Piece::Whole);
}

// The value's components, split at each unescaped ";" of the value trimmed; the closing CR
// stays with the last one. An empty value has none.
QList<QStringView> componentsOf(const PropertyLine& line) {
    const QStringView trimmed = trimBlanks(line.value());
    return withoutLineEnd(trimmed).isEmpty() ? QList<QStringView>() : line.components(trimmed);
}

void applyNameRule(CardForm& form, const PropertyLine& line) {
    static constexpr FormField kFields[] = {LastName, FirstName, MiddleInitial, Title};
    const QList<QStringView> components = componentsOf(line);
    const qsizetype count = std::min<qsizetype>(components.size(), std::size(kFields));
    for (qsizetype i = 0; i < count; ++i) {
        form[kFields[i]] = line.shown(plainValue(components[i]), Piece::Component);
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

void applyBirthdayRule(CardForm& form, const PropertyLine& line) {
    const QDate date = birthdayOf(shownValue(line));
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
    // Addresses are ASCII: a character set named beside them is not applied to the raw text.
    const QString address = line.shown(stripCR(line.rawValue()), Piece::Whole);
    // An empty last line must not leave the rebuild without any address.
    if (!trimBlanks(address).isEmpty())
        form[HiddenEmail] = address;
    form.Combo1.append(address);
    form.Combo2.append(emailTypeOf(line.part()));
    form.Combo1Index = 0;
}

void applyUrlRule(CardForm& form, const PropertyLine& line) {
    const bool work = hasParameter(line.part(), QLatin1String("WORK"));
    form[work ? WebsiteWork : WebsiteHome] = shownValue(line);
}

// Every line break (CR LF, lone CR, lone LF) as CR LF. A text whose breaks are all CR LF
// already (or that has none) is returned as it is, without a copy.
QString withCrLfBreaks(QString text) {
    const auto* in = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    qsizetype added = 0;
    for (qsizetype i = QStringView(text).indexOf(u'\r'); i >= 0;
         i = QStringView(text).indexOf(u'\r', i + 1)) {
        if (i + 1 < size && in[i + 1] == u'\n')
            continue;
        ++added;  // a lone CR gets its LF
    }
    for (qsizetype i = QStringView(text).indexOf(u'\n'); i >= 0;
         i = QStringView(text).indexOf(u'\n', i + 1)) {
        if (i > 0 && in[i - 1] == u'\r')
            continue;
        ++added;  // a lone LF gets its CR
    }
    if (added == 0)
        return text;
    QString result(size + added, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c == u'\r' || c == u'\n') {
            *out++ = u'\r';
            *out++ = u'\n';
            if (c == u'\r' && i + 1 < size && in[i + 1] == u'\n')
                ++i;
        } else {
            *out++ = c;
        }
    }
    return result;
}

// The text without blanks at its ends, trimmed in place.
QString trimmedBlanks(QString text) {
    const QStringView trimmed = trimBlanks(text);
    if (trimmed.size() == text.size())
        return text;
    const qsizetype first = trimmed.data() - QStringView(text).data();
    text.truncate(first + trimmed.size());
    text.remove(0, first);
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

// A note as the rebuild writes it: "=0D=0A" is a line break and "=3D" an "="; any other "="
// stands for itself.
QString decodeRebuiltNote(QStringView note) {
    static constexpr QStringView kBreak = u"=0D=0A";
    static constexpr QStringView kEquals = u"=3D";
    QString result;
    result.reserve(note.size());
    qsizetype start = 0;
    for (qsizetype at = note.indexOf(u'='); at >= 0; at = note.indexOf(u'=', start)) {
        const QStringView rest = note.sliced(at);
        QStringView replacement;
        qsizetype length = 0;
        if (rest.startsWith(kBreak)) {
            replacement = kCrLf;
            length = kBreak.size();
        } else if (rest.startsWith(kEquals)) {
            replacement = u"=";
            length = kEquals.size();
        } else {
            result.append(note.sliced(start, at + 1 - start));
            start = at + 1;
            continue;
        }
        result.append(note.sliced(start, at - start));
        result.append(replacement);
        start = at + length;
    }
    result.append(note.sliced(start));
    return result;
}

void applyNoteRule(CardForm& form, const PropertyLine& line) {
    // The line end is left out so that saving and reloading never grows the note.
    QString note = withoutLineEnd(line.value()).toString();
    if (line.quotedPrintable()) {
        note = DecodeQuotedPrintable(note, charsetOf(line.part()));
    } else if (hasBareQuotedPrintable(line.part())) {
        note = decodeRebuiltNote(note);
    } else {
        note.replace(QLatin1String("=0D=0A="), kCrLf);
    }
    if (line.escapes())
        note = unescaped(note, true, kCrLf);
    form[Notes] = trimmedBlanks(withCrLfBreaks(std::move(note)));
}

void appendNoteLine(CardForm& form, QStringView line, bool escapes) {
    QString text = trimBlanks(withoutLineEnd(line)).toString();
    if (escapes)
        text = unescaped(text, true, kCrLf);
    QString& notes = form[Notes];
    notes.append(kCrLf);
    notes.append(withCrLfBreaks(std::move(text)));
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

void applyAddressRule(CardForm& form, const PropertyLine& line) {
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
        form[work ? WorkCountry : HomeCountry] =
            withBreaksAsSpaces(line.shown(plainValue(c[6]), Piece::Component));
    }
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
    const PhoneKind kind = phoneKindOf(line.part());
    form[phoneKind(kind).field] = line.shown(stripCR(line.value()), Piece::Whole);
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
    std::optional<CardLineWalker> lines;
    std::optional<CardSyntax> syntax;
    QString formattedName;
    bool noteFlag = false;
    g(100, [&] {
        lines.emplace(card);
        syntax.emplace(card, lines->dropsBlank());
    });
    while (lines && lines->next()) {
        // A photo folded over many lines is read from the card itself: its joined text is
        // never needed, nor made.
        if (lines->isJoined() && lines->settledColon() >= 0) {
            const QStringView part = lines->firstLine().first(lines->settledColon());
            Rule rule = Rule::None;
            g(104, [&] { rule = matchRule(part); });
            if (rule == Rule::Photo) {
                noteFlag = false;
                g(126, [&] { addPhotoRow(form.photos, card, lines->offset(), part); });
                continue;
            }
        }
        const QStringView text = lines->text();
        if (isBlankLine(text))
            continue;
        if (!isPropertyLine(text)) {
            g(102, [&] {
                if (noteFlag)
                    appendNoteLine(form, text, syntax->escapes());
            });
            continue;
        }
        noteFlag = false;
        const PropertyLine property(text, *syntax);
        Rule rule = Rule::None;
        g(104, [&] { rule = matchRule(property.part()); });
        switch (rule) {
            case Rule::None:
            case Rule::Ignored:
                break;
            case Rule::FormattedName:
                g(106, [&] {
                    if (formattedName.isEmpty())
                        formattedName = formattedNameOf(property);
                });
                break;
            case Rule::Name:
                g(108, [&] { applyNameRule(form, property); });
                break;
            case Rule::Company:
                g(110, [&] { form[Company] = shownValue(property); });
                break;
            case Rule::Birthday:
                g(112, [&] { applyBirthdayRule(form, property); });
                break;
            case Rule::Title:
                g(114, [&] { form[Title] = shownValue(property); });
                break;
            case Rule::Email:
                g(116, [&] { applyEmailRule(form, property); });
                break;
            case Rule::Url:
                g(118, [&] { applyUrlRule(form, property); });
                break;
            case Rule::Note:
                g(120, [&] { applyNoteRule(form, property); });
                noteFlag = true;
                break;
            case Rule::Address:
                g(122, [&] { applyAddressRule(form, property); });
                break;
            case Rule::Telephone:
                g(124, [&] { applyTelephoneRule(form, property); });
                break;
            case Rule::Photo:
                g(126, [&] { addPhotoRow(form.photos, card, lines->offset(), property.part()); });
                break;
        }
    }
    g(128, [&] { showFormattedName(form, formattedName); });
    g(130, [&] { form.photoIndex = form.photos.empty() ? 0 : 1; });
    g(132, [&] { form.Combo1Index = form.Combo1.isEmpty() ? -1 : 0; });
    return form;
}

}  // namespace pennacle
