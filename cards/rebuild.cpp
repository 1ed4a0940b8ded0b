#include "cards/rebuild.h"

#include "cards/displayname.h"
#include "cards/photolines.h"
#include "cards/propertytable.h"
#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/writer21.h"

#include <array>
#include <initializer_list>
#include <utility>

namespace pennacle {

namespace {

QString rebuildTag() {
    return procedureTag("Form1", "txtTextbox_Change");
}

// The telephone lines always come in this order, whatever order the card had.
constexpr std::array<PhoneKind, kPhoneKindCount> kPhoneOrder = {
    PhoneKind::HomeVoice, PhoneKind::WorkVoice, PhoneKind::Cellular,
    PhoneKind::HomeFax,   PhoneKind::WorkFax,   PhoneKind::Pager};

qsizetype estimateCardLength(const CardForm& form) {
    qsizetype length = 512;
    for (const QString& text : form.txtTextbox) {
        length += text.size();
    }
    length += form[Notes].size() / 2;
    for (const QString& entry : form.Combo1) {
        length += entry.size() + 24;
    }
    for (const QString& entry : form.Combo2) {
        length += entry.size();
    }
    for (const PhotoEntry& photo : form.photos) {
        length += photo.PhotoType.size() + photo.PhotoData.size() +
                  photo.PhotoData.size() / kPhotoLineWidth * 4 + 8;
    }
    // Most text is ASCII; the rest takes two or three bytes a character.
    return length + length / 4;
}

bool anyFilled(const CardForm& form, FormField first, int count) {
    for (int i = first; i < first + count; ++i) {
        if (!form.txtTextbox[size_t(i)].isEmpty()) {
            return true;
        }
    }
    return false;
}

// Composes the card into `card`, with the rebuild's numbering from line 102 on (line 100 is
// the empty-list test of the whole rebuild).
class CardComposer {
public:
    CardComposer(Guard& guard, const CardForm& form, QByteArray& card)
        : g_(guard), form_(form), card_(card) {}

    void compose(const QDateTime& now, Reporter& reporter) {
        card_.reserve(estimateCardLength(form_));
        line(102, [&] { appendAscii(card_, kBeginCard); });
        line(104, [&] { appendAscii(card_, kVersion21); });
        // What the form has no box for goes first, so that the boxes' own lines come last and
        // win when the card is read again.
        if (!form_.otherLines.isEmpty())
            line(106, [&] { appendUtf8(card_, QStringView(form_.otherLines.text()).chopped(2)); });
        // Only names and addresses, whose components ";" separates and whose names the name
        // reader cuts at a second ":", lose their separators. Telephones, the note, the company
        // and the web addresses are written as typed: the reader takes all after the first ":".
        line(108, [&] {
            const QString& suffix = form_.otherParts.nameSuffix;
            QString name = joined({escapedComponent(box(LastName), true), u";",
                                   escapedComponent(box(FirstName), true), u";",
                                   escapedComponent(box(MiddleInitial), true), u";",
                                   escapedComponent(box(Title), !suffix.isEmpty())});
            if (!suffix.isEmpty())
                name.append(u';').append(escapedComponent(suffix, false));
            value(Rule::Name, {}, name);
        });
        // The same texts as in N, so that FN is blank exactly when N names nobody.
        line(110, [&] {
            value(Rule::FormattedName, {},
                  joined({separatedComponent(box(FirstName)), u" ",
                          separatedComponent(box(MiddleInitial)), u" ",
                          separatedComponent(box(LastName))}));
        });
        for (const PhoneKind kind : kPhoneOrder) {
            const QString& number = box(phoneKind(kind).field);
            if (g_.test(112, [&] { return !number.isEmpty(); })) {
                line(114, [&] {
                    value(Rule::Telephone, PhoneTypeParams(int(kind)) + PrefParam(form_, int(kind)),
                          oneLine(number));
                });
            }
        }
        composeEmail();
        const QString& note = box(Notes);
        if (g_.test(124, [&] { return !note.isEmpty(); })) {
            line(126, [&] {
                if (isAsciiText(note)) {
                    head(Rule::Note, kNoteEncoding);
                    appendUtf8(card_, encodeNote(note));
                } else {
                    head(Rule::Note, kUtf8QuotedPrintable);
                    appendQuotedPrintableUtf8(card_, note);
                }
            });
        }
        if (g_.test(128, [&] { return !box(Company).isEmpty(); })) {
            line(130, [&] { value(Rule::Company, {}, oneLine(box(Company))); });
        }
        if (g_.test(132, [&] { return !box(WebsiteHome).isEmpty(); })) {
            line(134, [&] { value(Rule::Url, u"HOME", oneLine(box(WebsiteHome))); });
        }
        if (g_.test(136, [&] { return !box(WebsiteWork).isEmpty(); })) {
            line(138, [&] { value(Rule::Url, u"WORK", oneLine(box(WebsiteWork))); });
        }
        const OtherParts& other = form_.otherParts;
        if (g_.test(140, [&] { return writesAddress(form_, true); })) {
            line(142, [&] {
                appendAddress(u"WORK", WorkAddress, other.workPostOfficeBox,
                              other.workExtendedAddress);
            });
        }
        if (g_.test(144, [&] { return writesAddress(form_, false); })) {
            line(146, [&] { appendAddress(u"HOME", HomeAddress, other.homePostOfficeBox, {}); });
        }
        if (g_.test(148, [&] { return form_.dtpBirthday != noBirthday(); })) {
            line(150, [&] { value(Rule::Birthday, {}, FormatVCardDate(form_.dtpBirthday)); });
        }
        // The block's lines end in CR LF themselves, so the break before REV leaves the one
        // empty line that ends a Base64 value.
        line(152, [&] {
            const qsizetype start = card_.size();
            appendPhotoBlock(card_, form_.photos, reporter);
            photoLines_ = {start, card_.size()};
        });
        line(154, [&] {
            appendRevision(card_, FormatVCardDate(now.date()), FormatVCardTime(now.time()));
        });
        line(156, [&] { appendAscii(card_, kEndCard); });
    }

    // The card as composed without its photos: photo lines never name a card, and a photo of
    // megabytes is best not walked on every key to find a name that stands above it.
    CardBytes withoutPhotoLines() const {
        const auto [start, end] = photoLines_;
        return CardBytes(start == end ? card_ : card_.first(start) + card_.sliced(end),
                         CardEncoding::Utf8);
    }

private:
    const QString& box(FormField field) const { return form_[field]; }

    void head(Rule rule, QStringView parameters = {}) {
        appendPropertyHead(card_, propertyName(rule), parameters);
    }

    static QString joined(std::initializer_list<QStringView> pieces) {
        QString text;
        for (const QStringView piece : pieces)
            text.append(piece);
        return text;
    }

    // A value with characters outside ASCII goes as quoted-printable UTF-8, so that the form's
    // own lines are ASCII: an ANSI file keeps them whole and every reader decodes them.
    void value(Rule rule, QStringView parameters, const QString& text) {
        if (isAsciiText(text)) {
            head(rule, parameters);
            appendUtf8(card_, text);
            return;
        }
        QString marked = parameters.toString();
        if (!marked.isEmpty())
            marked.append(u';');
        head(rule, marked.append(kUtf8QuotedPrintable));
        appendQuotedPrintableUtf8(card_, text);
    }

    // One line of the card: a failing line is left out whole.
    template <class Write>
    void line(int number, Write&& write) {
        g_(number, [&] {
            const qsizetype mark = card_.size();
            try {
                if (!card_.isEmpty()) {
                    card_.append(kLineEnd);
                }
                write();
            } catch (...) {
                card_.truncate(mark);
                throw;
            }
        });
    }

    void composeEmail() {
        if (!g_.test(116, [&] { return !box(HiddenEmail).isEmpty(); })) {
            return;
        }
        const QStringList& addresses = form_.Combo1;
        if (g_.test(118, [&] { return addresses.size() > 1; })) {
            for (qsizetype i = 0; i < addresses.size(); ++i) {
                // A missing type entry counts as empty, as the list control reads it.
                line(120, [&] {
                    // Judged on the whole part: read alone, a "." in the type would pass for
                    // the end of a group name.
                    QString part =
                        propertyName(Rule::Email) + u';' + oneLine(form_.Combo2.value(i));
                    if (i == 0)
                        part.append(u";PREF");
                    appendEmail(part, oneLine(addresses[i]));
                });
            }
            return;
        }
        line(122, [&] { value(Rule::Email, u"INTERNET;PREF", oneLine(box(HiddenEmail))); });
    }

    // The type is written as typed. An address outside ASCII goes as quoted-printable UTF-8,
    // under the type's own quoted-printable mark when it has one.
    void appendEmail(QString part, const QString& address) {
        if (isAsciiText(address)) {
            appendUtf8(card_, part);
            card_.append(':');
            appendUtf8(card_, emailValue(address, part));
            return;
        }
        if (!isQuotedPrintable(part))
            part.append(u';').append(kUtf8QuotedPrintable);
        else if (charsetOf(part).isEmpty())
            part.append(u";CHARSET=UTF-8");
        appendUtf8(card_, part);
        card_.append(':');
        appendQuotedPrintableUtf8(card_, address);
    }

    // The post-office box and a work address's extended part have no box: they go back to
    // their places as the card had them.
    void appendAddress(QStringView type, FormField first, const QString& postOfficeBox,
                       const QString& extended) {
        QString address = joined(
            {escapedComponent(postOfficeBox, true), u";", escapedComponent(extended, true), u";"});
        const int last = first + kAddressFieldCount - 1;
        for (int i = first; i <= last; ++i) {
            address.append(escapedComponent(box(FormField(i)), i != last));
            if (i != last)
                address.append(u';');
        }
        value(Rule::Address, type, address);
    }

    Guard& g_;
    const CardForm& form_;
    QByteArray& card_;
    std::pair<qsizetype, qsizetype> photoLines_{0, 0};  // where they start and end in the card
};

}  // namespace

bool writesAddress(const CardForm& form, bool work) {
    const OtherParts& other = form.otherParts;
    if (work) {
        return anyFilled(form, WorkAddress, kAddressFieldCount) ||
               !other.workPostOfficeBox.isEmpty() || !other.workExtendedAddress.isEmpty();
    }
    return anyFilled(form, HomeAddress, kAddressFieldCount) || !other.homePostOfficeBox.isEmpty();
}

QString PhoneTypeParams(int kind) {
    if (kind >= 0 && kind < kPhoneKindCount)
        return kPhoneKinds[size_t(kind)].typeParams;
    switch (kind) {
        case 6:
            return QStringLiteral("DATA");
        case 7:
            return QStringLiteral("VOICE");
        case 8:
            return QStringLiteral("FAX");
        default:
            return QString();
    }
}

QString PrefParam(const CardForm& form, int kind) {
    const bool ticked = kind >= 0 && kind < kPhoneKindCount && form.Check1[size_t(kind)];
    return ticked ? QStringLiteral(";PREF") : QString();
}

QString FormatVCardDate(const QDate& date) {
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString FormatVCardTime(const QTime& time) {
    return QStringLiteral("%1%2%3")
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

CardBytes rebuildCard(const CardForm& form, const QDateTime& now, Reporter& reporter) {
    Guard g(reporter, rebuildTag());
    QByteArray card;
    CardComposer(g, form, card).compose(now, reporter);
    return CardBytes(std::move(card), CardEncoding::Utf8);
}

std::optional<CardReplacement> rebuildCurrentCard(std::span<const ContactEntry> contacts,
                                                  qsizetype currentRow, const CardForm& form,
                                                  const QDateTime& now, Reporter& reporter) {
    Guard g(reporter, rebuildTag());
    if (g.test(100, [&] { return contacts.empty(); })) {
        return std::nullopt;
    }
    QByteArray card;
    CardComposer composer(g, form, card);
    composer.compose(now, reporter);
    std::optional<CardReplacement> rebuilt;
    g(158, [&] {
        if (currentRow < 0) {
            throw Failure(QStringLiteral("No contact is selected"));
        }
        QString name = listedName(composer.withoutPhotoLines(), reporter);
        rebuilt = CardReplacement{currentRow, CardBytes(std::move(card), CardEncoding::Utf8),
                                  std::move(name)};
    });
    return rebuilt;
}

ContactEntry newContact(const QDateTime& now, Reporter& reporter) {
    CardBytes card = rebuildCard(CardForm(), now, reporter);
    QString name = listedName(card, reporter);
    return {std::move(name), std::move(card)};
}

}  // namespace pennacle
