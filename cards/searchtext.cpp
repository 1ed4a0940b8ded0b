#include "cards/searchtext.h"

#include "contacts/searchfold.h"
#include "vcard/cardlines.h"
#include "vcard/quotedprintable.h"

namespace pennacle {

namespace {

enum class Field { None, Name, Email, Phone, Company, Note };

// The searched field a property fills, by its name: the part before ";", group dropped.
Field fieldOf(QStringView propertyPart) {
    QStringView name = propertyPart;
    const qsizetype semicolon = name.indexOf(u';');
    if (semicolon >= 0)
        name = name.first(semicolon);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name = name.sliced(dot + 1);
    name = trimBlanks(name);
    const auto is = [&name](const char* key) {
        return name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
    };
    switch (name.size()) {
        case 1:
            return is("N") ? Field::Name : Field::None;
        case 2:
            return is("FN") ? Field::Name : Field::None;
        case 3:
            return is("TEL") ? Field::Phone : is("ORG") ? Field::Company : Field::None;
        case 4:
            return is("NOTE") ? Field::Note : Field::None;
        case 5:
            return is("EMAIL") ? Field::Email : Field::None;
        default:
            return Field::None;
    }
}

// The escapes of vCard 3.0 values: "\n" is a line break, "\," "\;" and "\\" the character.
QString unescaped(QStringView value) {
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            text.append(next == u'n' || next == u'N' ? QChar(u' ') : next);
        } else {
            text.append(value[i]);
        }
    }
    return text;
}

// Bare QUOTED-PRINTABLE too: that is how an edited note is written.
bool marksQuotedPrintable(QStringView propertyPart) {
    const QLatin1String marker("QUOTED-PRINTABLE");
    return propertyPart.size() >= marker.size() &&
           propertyPart.contains(marker, Qt::CaseInsensitive);
}

void appendValue(QByteArray& out, Field field, QStringView propertyPart, bool isQuotedPrintable,
                 QStringView value) {
    QString decoded;
    if (isQuotedPrintable) {
        decoded = DecodeQuotedPrintable(value.toString(), charsetOf(propertyPart));
        value = decoded;
    }
    if (value.contains(u'\\')) {
        decoded = unescaped(value);
        value = decoded;
    }
    out.append('\n');
    const qsizetype start = out.size();
    appendFolded(out, value);
    if (field == Field::Name || field == Field::Company) {
        // Components read as words: "Doe;John" is found as "doe john".
        for (qsizetype i = start; i < out.size(); ++i) {
            if (out[i] == ';')
                out[i] = ' ';
        }
    }
    if (field == Field::Phone) {
        const qsizetype written = out.size() - start;
        out.append('\n');
        for (const QChar c : value) {
            if (c >= u'0' && c <= u'9')
                out.append(char(c.unicode()));
            else if (c.unicode() >= 0x80 && c.isDigit())
                out.append(char('0' + c.digitValue()));
        }
        const qsizetype digits = out.size() - start - written - 1;
        if (digits == 0 || digits == written)
            out.truncate(start + written);  // no digits, or nothing but digits
    }
}

}  // namespace

QByteArray contactSearchText(const ContactEntry& entry) {
    // Built in a buffer that each thread keeps, and returned at its exact size: the texts of
    // all contacts stay in memory.
    thread_local QByteArray out;
    out.resize(0);
    appendFolded(out, entry.Text);

    // The searched property being read: its value stays a view into the card until a further
    // physical line joins it.
    Field field = Field::None;
    QStringView part;
    QStringView value;
    QString joined;
    bool isJoined = false;
    bool quotedPrintable = false;
    const auto flush = [&] {
        if (field != Field::None)
            appendValue(out, field, part, quotedPrintable, isJoined ? QStringView(joined) : value);
        field = Field::None;
    };
    const auto join = [&](QStringView more, bool dropLastChar) {
        if (!isJoined) {
            joined = value.toString();
            isJoined = true;
        }
        if (dropLastChar)
            joined.chop(1);
        joined.append(more);
    };

    const QStringView card = entry.card;
    const qsizetype size = card.size();
    for (qsizetype start = 0; start < size;) {
        const qsizetype end = physicalLineEnd(card, start);
        const QStringView line = withoutLineEnd(card.sliced(start, end - start));
        start = end + 1;
        if (field != Field::None) {
            const QStringView sofar = isJoined ? QStringView(joined) : value;
            if (quotedPrintable && sofar.endsWith(u'=')) {
                join(line, true);  // soft line break
                continue;
            }
            if (!line.isEmpty() && (line.front() == u' ' || line.front() == u'\t')) {
                join(line.sliced(1), false);  // folded line
                continue;
            }
            if (field == Field::Note && !line.contains(u':')) {
                const QStringView more = trimBlanks(line);
                if (!more.isEmpty()) {
                    join(u" ", false);
                    join(more, false);
                }
                continue;
            }
            flush();
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        part = line.first(colon);
        field = fieldOf(part);
        if (field == Field::None)
            continue;
        value = line.sliced(colon + 1);
        isJoined = false;
        quotedPrintable = marksQuotedPrintable(part);
    }
    flush();
    return QByteArray(out.constData(), out.size());
}

}  // namespace pennacle
