#include "cards/loader.h"

#include "cards/photolines.h"
#include "cards/propertyreader.h"
#include "cards/propertytable.h"
#include "cards/propertyvalues.h"
#include "cards/rebuild.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"
#include "vcard/recode.h"
#include "vcard/writer21.h"

#include <QList>

#include <algorithm>
#include <deque>
#include <optional>

namespace pennacle {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// What a property line filled: one of the form's places, which a later line of the same kind
// takes over; nothing (the line is kept as it stands); or all of it for good (the form writes
// the line anew, or holds it as a photo row or an e-mail entry).
enum Slot : int {
    kTaken = -2,
    kNothing = -1,
    kCompanySlot = 0,
    kTitleSlot,
    kBirthdaySlot,
    kHomeUrlSlot,
    kWorkUrlSlot,
    kNoteSlot,
    kHomeAddressSlot,
    kWorkAddressSlot,
    kFirstPhoneSlot,
    kSlotCount = kFirstPhoneSlot + kPhoneKindCount,
};

// What one load builds up beside the form.
struct Loading {
    const CardBytes& card;
    qsizetype lineOffset = 0;  // of the line being read
    CardForm form;             // starts as the emptied form
    QString formattedName;     // of the first FN line
};

int applyFormattedName(Loading& loading, const PropertyLine& line) {
    if (loading.formattedName.isEmpty())
        loading.formattedName = formattedNameOf(line);
    return kTaken;
}

int applyName(Loading& loading, const PropertyLine& line) {
    static constexpr FormField kFields[] = {LastName, FirstName, MiddleInitial, Title};
    const QList<QStringView> components = componentsOf(line);
    const qsizetype count = std::min<qsizetype>(components.size(), std::size(kFields));
    for (qsizetype i = 0; i < count; ++i)
        loading.form[kFields[i]] = shownComponent(line, components[i]);
    loading.form.otherParts.nameSuffix =
        components.size() > 4 ? QString(shownComponent(line, components[4])) : QString();
    // The prefix takes the Title box, so a title line before it is kept.
    return count == std::size(kFields) ? kTitleSlot : kNothing;
}

int applyCompany(Loading& loading, const PropertyLine& line) {
    loading.form[Company] = shownValue(line);
    return kCompanySlot;
}

int applyTitle(Loading& loading, const PropertyLine& line) {
    loading.form[Title] = shownValue(line);
    return kTitleSlot;
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
// among them, leaves the form without one (and its line is kept).
int applyBirthday(Loading& loading, const PropertyLine& line) {
    const QDate date = birthdayOf(shownValue(line));
    if (!date.isValid() || date < firstBirthday() || date == noBirthday())
        return kNothing;
    loading.form.dtpBirthday = date;
    return kBirthdaySlot;
}

int applyEmail(Loading& loading, const PropertyLine& line) {
    CardForm& form = loading.form;
    const QString address = emailAddressOf(line);
    // An empty last line must not leave the rebuild without any address.
    if (!trimBlanks(address).isEmpty())
        form[HiddenEmail] = address;
    form.Combo1.append(address);
    form.Combo2.append(emailTypeOf(line));
    form.Combo1Index = 0;
    return kTaken;
}

int applyUrl(Loading& loading, const PropertyLine& line) {
    CardForm& form = loading.form;
    const bool work = hasParameter(line.part(), QLatin1String("WORK"));
    form[work ? WebsiteWork : WebsiteHome] = shownValue(line);
    return work ? kWorkUrlSlot : kHomeUrlSlot;
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

int applyAddress(Loading& loading, const PropertyLine& line) {
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
    // The parts that no box shows go back to their places with the boxes' text.
    OtherParts& other = form.otherParts;
    (work ? other.workPostOfficeBox : other.homePostOfficeBox) =
        c.isEmpty() ? QString() : shown(c[0]);
    if (work)
        other.workExtendedAddress = c.size() >= 2 ? shown(c[1]) : QString();
    return work ? kWorkAddressSlot : kHomeAddressSlot;
}

int applyTelephone(Loading& loading, const PropertyLine& line) {
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
    return kFirstPhoneSlot + int(kind);
}

int applyNote(Loading& loading, const PropertyLine& line) {
    loading.form[Notes] = noteOf(line);
    return kNoteSlot;
}

void appendNoteLine(CardForm& form, QStringView line, bool escapes) {
    form[Notes].append(kCrLf).append(noteLineOf(line, escapes));
}

// A photo line that gives no row with data is kept as it stands.
int takePhoto(Loading& loading, QStringView part) {
    const size_t rows = loading.form.photos.size();
    addPhotoRow(loading.form.photos, loading.card, loading.lineOffset, part);
    return loading.form.photos.size() > rows ? kTaken : kNothing;
}

int applyPhoto(Loading& loading, const PropertyLine& line) {
    return takePhoto(loading, line.part());
}

int applyNothing(Loading&, const PropertyLine&) {
    return kNothing;
}

int applyRevision(Loading&, const PropertyLine&) {
    return kTaken;
}

// Each returns the Slot the line filled.
using Applier = int (*)(Loading&, const PropertyLine&);

// Indexed by Rule.
constexpr Applier kAppliers[] = {
    applyNothing,   applyFormattedName, applyName,     applyCompany, applyBirthday,
    applyTitle,     applyEmail,         applyUrl,      applyNote,    applyAddress,
    applyTelephone, applyPhoto,         applyRevision,
};
static_assert(std::size(kAppliers) == size_t(Rule::Revision) + 1);

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

// Whether the rebuild writes a line for the place, as rebuildCard decides.
bool writesBack(const CardForm& form, int slot) {
    switch (slot) {
        case kCompanySlot:
            return !form[Company].isEmpty();
        case kTitleSlot:
            return true;  // the name line's prefix
        case kBirthdaySlot:
            return form.dtpBirthday != noBirthday();
        case kHomeUrlSlot:
            return !form[WebsiteHome].isEmpty();
        case kWorkUrlSlot:
            return !form[WebsiteWork].isEmpty();
        case kNoteSlot:
            return !form[Notes].isEmpty();
        case kHomeAddressSlot:
            return writesAddress(form, false);
        case kWorkAddressSlot:
            return writesAddress(form, true);
        default:
            return !form[kPhoneKinds[size_t(slot - kFirstPhoneSlot)].field].isEmpty();
    }
}

// The lines that the rebuild always writes itself, or that become e-mail entries.
bool isWrittenAnew(Rule rule) {
    return rule == Rule::Name || rule == Rule::FormattedName || rule == Rule::Email ||
           rule == Rule::Revision;
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

// The lines of a card that the form keeps as they stand: each one that fills nothing, and each
// whose place a later line takes over. A 2.1 card's lines are kept as the card has them; a
// 3.0 or 4.0 card's lines as their 2.1 form (see lineIn21).
class KeptLines {
public:
    KeptLines(const CardBytes& card, bool version3, char lineBreak)
        : card_(card), version3_(version3), crLines_(lineBreak == '\r') {
        filledBy_.fill(-1);
    }

    // A property line from `start` to `end` in the card (its decoded text `text`, joined) that
    // filled `slot`. The lines after a photo line without a row were no data of it, as the
    // photo reader saw them: they do not go with it.
    void add(int slot, qsizetype start, qsizetype end, QStringView text, bool photo = false) {
        open_ = -1;
        if (slot == kTaken || !startsProperty(start))
            return;
        const qsizetype index = qsizetype(lines_.size());
        qint32 converted = -1;
        if (version3_) {
            converted = qint32(converted_.size());
            converted_.push_back(lineIn21(withoutLineEnd(text)));
        }
        lines_.push_back({start, end, converted, slot == kNothing, photo});
        if (slot >= 0) {
            if (filledBy_[size_t(slot)] >= 0)
                lines_[size_t(filledBy_[size_t(slot)])].kept = true;
            filledBy_[size_t(slot)] = index;
        }
        open_ = index;
        binary_ = !photo && isBinaryPart(propertyPartOf(text));
    }

    // A line without a property of its own (`text`, ending at `end`): the data of a Base64
    // value up to the empty line that ends it (included), or the continuation of a note
    // (`noteGoesOn`), goes with the line before; any other is dropped, and ends that line.
    void extend(qsizetype end, QStringView text, bool blank, bool noteGoesOn) {
        if (open_ < 0)
            return;
        if (!binary_ && !noteGoesOn) {
            open_ = -1;
            return;
        }
        Line& line = lines_[size_t(open_)];
        line.end = end;
        if (line.converted >= 0)
            converted_[size_t(line.converted)].append(u"\r\n").append(withoutLineEnd(text));
        if (blank)
            open_ = -1;
    }

    // Ends the property before: a line of its own follows.
    void close() { open_ = -1; }

    // A place that a line which is never kept took over.
    void taken(int slot) {
        if (slot < 0)
            return;
        if (filledBy_[size_t(slot)] >= 0)
            lines_[size_t(filledBy_[size_t(slot)])].kept = true;
        filledBy_[size_t(slot)] = -1;
    }

    // The lines that filled a place last but are not written back, because the place ends up
    // empty: they stay too, so that every line of a kind is kept and the card settles.
    template <class Written>
    void keepUnwritten(Written&& written) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const qsizetype last = filledBy_[size_t(slot)];
            if (last >= 0 && !written(slot))
                lines_[size_t(last)].kept = true;
        }
    }

    OtherLines texts() const {
        OtherLines texts;
        QString decoded;
        for (const Line& line : lines_) {
            if (!line.kept)
                continue;
            decoded.resize(0);
            if (line.converted >= 0) {
                decoded.append(converted_[size_t(line.converted)]);
            } else {
                appendDecoded(
                    decoded,
                    QByteArrayView(card_.bytes()).sliced(line.start, line.end - line.start),
                    card_.encoding());
                decoded.truncate(withoutLineEnd(QStringView(decoded)).size());
                // Written into a card of CR LF lines, a lone CR would end no line there.
                if (crLines_)
                    decoded.replace(u'\r', QLatin1StringView("\r\n"));
            }
            if (line.photo)
                decoded.append(u"\r\n");
            // A rebuilt card is UTF-8: a line in another character set must say so no more.
            if (card_.encoding() == CardEncoding::Ansi && !isAsciiText(decoded))
                decoded = lineForUtf8Card(decoded);
            texts.append(decoded);
        }
        return texts;
    }

private:
    struct Line {
        qsizetype start;
        qsizetype end;
        qint32 converted;  // its 2.1 form in converted_, for a 3.0/4.0 card; -1 for 2.1
        bool kept;
        // A photo line without data ends with the empty line that ends a Base64 value, so that
        // the line written after it is never taken for its data.
        bool photo;
    };

    // Whether the line starts its property where it stands: one that starts empty or with a
    // blank is a property only by the line before it, and written elsewhere it would join
    // another. Such a line is dropped, as an empty line is.
    bool startsProperty(qsizetype start) const {
        const QByteArray& bytes = card_.bytes();
        if (start >= bytes.size())
            return false;
        const char c = bytes[start];
        return c != ' ' && c != '\t' && c != '\r' && c != '\n';
    }

    static bool isBinaryPart(QStringView part) {
        return hasParameter(part, QLatin1String("BASE64")) ||
               hasParameter(part, QLatin1String("ENCODING=B"));
    }

    const CardBytes& card_;
    bool version3_;
    bool crLines_;            // the card's lines end in CR alone
    std::deque<Line> lines_;  // in pieces: a card of millions of lines never copies them
    std::vector<QString> converted_;
    std::array<qsizetype, kSlotCount> filledBy_;
    qsizetype open_ = -1;  // the line that continuation lines go on with
    bool binary_ = false;
};

// One load: walks the card's lines and applies the row of each, guarded step by step.
class CardLoader {
public:
    CardLoader(const CardBytes& card, Reporter& reporter)
        : g_(reporter, procedureTag("Form1", "LoadVCFData")),
          loading_{card, 0, CardForm(), QString()} {}

    CardForm load() {
        g_(100, [&] {
            lines_.emplace(loading_.card);
            kept_.emplace(loading_.card, lines_->lines().dropsBlank(), lines_->lines().lineBreak());
        });
        while (lines_ && lines_->next()) {
            loading_.lineOffset = lines_->offset();
            if (!tookFoldedPhoto())
                takeLine();
        }
        return finish();
    }

private:
    // A photo folded over many lines is read from the card itself: its joined text is never
    // needed, nor made.
    bool tookFoldedPhoto() {
        if (!lines_->isJoined() || lines_->lines().settledColon() < 0)
            return false;
        const PropertyRow* row = nullptr;
        g_(104, [&] { row = lines_->row(); });
        if (!isPhotoRule(row))
            return false;
        noteFlag_ = false;
        const LineWalker& walker = lines_->lines();
        const QString part = walker.decoded(walker.firstLine().first(walker.settledColon()));
        int slot = kNothing;
        g_(row->loaderStep, [&] { slot = takePhoto(loading_, part); });
        if (slot != kTaken)
            kept_->add(slot, lines_->offset(), lines_->endOffset(), lines_->text(), true);
        else
            kept_->close();
        return true;
    }

    void takeLine() {
        const QStringView text = lines_->text();
        const bool blank = isBlankLine(text);
        if (blank || !lines_->isProperty()) {
            g_(102, [&] {
                const bool noteGoesOn = noteFlag_ && !blank;
                kept_->extend(lines_->endOffset(), text, blank, noteGoesOn);
                if (noteGoesOn)
                    appendNoteLine(loading_.form, text, lines_->syntax().escapes());
            });
            return;
        }
        const PropertyLine& property = lines_->property();
        const PropertyRow* row = nullptr;
        g_(104, [&] { row = lines_->row(); });
        noteFlag_ = row && row->rule == Rule::Note;
        int slot = kNothing;
        if (row && row->rule != Rule::None)
            g_(row->loaderStep, [&] { slot = kAppliers[size_t(row->rule)](loading_, property); });
        if (isFrameProperty(property.part()) || (row && isWrittenAnew(row->rule))) {
            kept_->taken(slot);
            kept_->close();
            return;
        }
        kept_->add(slot, lines_->offset(), lines_->endOffset(), text, isPhotoRule(row));
    }

    CardForm finish() {
        CardForm& form = loading_.form;
        g_(128, [&] { showFormattedName(form, loading_.formattedName); });
        g_(130, [&] { form.photoIndex = form.photos.empty() ? 0 : 1; });
        g_(132, [&] { form.Combo1Index = form.Combo1.isEmpty() ? -1 : 0; });
        g_(134, [&] {
            if (!kept_)
                return;
            kept_->keepUnwritten([&](int slot) { return writesBack(form, slot); });
            form.otherLines = kept_->texts();
        });
        return std::move(form);
    }

    Guard g_;
    Loading loading_;
    std::optional<PropertyReader> lines_;
    std::optional<KeptLines> kept_;
    bool noteFlag_ = false;  // continuation lines go on with the note before them
};

}  // namespace

CardForm loadCardForm(const CardBytes& card, Reporter& reporter) {
    return CardLoader(card, reporter).load();
}

bool isOtherLine(QStringView text) {
    if (text.isEmpty() || text.front() == u' ' || text.front() == u'\t' || text.front() == u'\r' ||
        text.front() == u'\n')
        return false;
    const CardBytes card(text);
    CardLineWalker lines(card);
    if (!lines.next() || !isPropertyLine(lines.decodedText()) ||
        isFrameProperty(propertyPartOf(lines.decodedText())))
        return false;
    while (lines.next()) {
        if (isPropertyLine(lines.decodedText()))
            return false;
    }
    return true;
}

}  // namespace pennacle
