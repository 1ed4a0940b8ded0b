#include "vcard/writer21.h"

#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/textfile.h"

namespace pennacle {

void appendAscii(QByteArray& card, QLatin1StringView text) {
    card.append(text.data(), text.size());
}

void appendRevision(QByteArray& card, QStringView date, QStringView time) {
    card.append("REV:");
    appendUtf8(card, date);
    card.append('T');
    appendUtf8(card, time);
}

void appendPropertyHead(QByteArray& card, QLatin1StringView name, QStringView parameters) {
    appendAscii(card, name);
    if (!parameters.isEmpty()) {
        card.append(';');
        appendUtf8(card, parameters);
    }
    card.append(':');
}

// A one-line box never breaks the card's line: a CR or LF in it (one decoded from "=0D", say)
// is written as a blank.
QString oneLine(const QString& value) {
    QString copy = value;  // shared until a break is found
    for (qsizetype i = 0; i < copy.size(); ++i) {
        if (copy.at(i) == u'\r' || copy.at(i) == u'\n') {
            copy[i] = u' ';
        }
    }
    return copy;
}

QString separated(const QString& value) {
    QString copy = oneLine(value);
    return ReplaceSeparators(copy);
}

// A name or address component that a ";" follows: a backslash at its end, also before blanks
// that the reader trims, would make the reader take that ";" for part of the component
// ("\;"), so it becomes a blank like the separators.
QString separatedComponent(const QString& value) {
    QString copy = separated(value);
    for (qsizetype i = copy.size() - 1; i >= 0 && (copy[i] == u' ' || copy[i] == u'\\'); --i) {
        copy[i] = u' ';
    }
    return copy;
}

// The note under its QUOTED-PRINTABLE mark, as any reader of that mark decodes it: every kind
// of line break becomes "=0D=0A", so a note can never break the card's lines, and every "=" is
// "=3D", so that no "=" with two hex digits after it decodes to something else and a note
// ending in "=" does not run into the next line.
QString encodeNote(const QString& note) {
    QString encoded;
    encoded.reserve(note.size() + note.size() / 8);
    qsizetype start = 0;
    for (qsizetype i = 0; i < note.size(); ++i) {
        const QChar c = note[i];
        if (c != u'\r' && c != u'\n' && c != u'=') {
            continue;
        }
        encoded.append(QStringView(note).sliced(start, i - start));
        if (c == u'=') {
            encoded.append(u"=3D");
        } else {
            encoded.append(u"=0D=0A");
            if (c == u'\r' && i + 1 < note.size() && note[i + 1] == u'\n') {
                ++i;
            }
        }
        start = i + 1;
    }
    encoded.append(QStringView(note).sliced(start));
    return encoded;
}

// An address on a line whose property part marks it ENCODING=QUOTED-PRINTABLE (the type can)
// is read back decoded: its "=" signs are written as "=3D" so that it reads back as typed.
QString emailValue(const QString& address, QStringView propertyPart) {
    if (!isQuotedPrintable(propertyPart)) {
        return address;
    }
    QString encoded = address;
    return encoded.replace(u'=', QLatin1String("=3D"));
}

}  // namespace pennacle
