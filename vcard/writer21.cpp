#include "vcard/writer21.h"

#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"
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

bool isAsciiText(QStringView text) {
    const char16_t* chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (chars[i] >= 0x80)
            return false;
    }
    return true;
}

namespace {

void appendHexByte(QByteArray& card, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    card.append('=').append(kHex[byte >> 4]).append(kHex[byte & 0x0F]);
}

}  // namespace

void appendQuotedPrintableUtf8(QByteArray& card, QStringView value) {
    QByteArray bytes;
    appendUtf8(bytes, value);
    appendQuotedPrintableBytes(card, bytes);
}

void appendQuotedPrintableBytes(QByteArray& card, QByteArrayView bytes) {
    card.reserve(card.size() + bytes.size() * 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' || byte == '\n') {
            card.append("=0D=0A");
            if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (byte >= 0x80 || byte == '=') {
            appendHexByte(card, byte);
        } else {
            card.append(char(byte));
        }
    }
}

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

QString escapedComponent(const QString& value, bool separatorFollows) {
    QString copy = oneLine(value);
    // Colons first: the blanks they become may stand at the end, after a backslash.
    if (holdsChar(copy, u':'))
        copy.replace(u':', u' ');
    if (separatorFollows) {
        for (qsizetype i = copy.size() - 1; i >= 0 && (copy[i] == u' ' || copy[i] == u'\\'); --i)
            copy[i] = u' ';
    }
    if (!holdsChar(copy, u';'))
        return copy;
    QString escaped;
    escaped.reserve(copy.size() + 8);
    for (const QChar c : copy) {
        if (c == u';')
            escaped.append(u"\\;");
        else
            escaped.append(c);
    }
    return escaped;
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

namespace {

// A parameter in its 2.1 spelling: TYPE=a,b as the words a;b.
void appendParameter21(QString& out, QStringView parameter) {
    const QStringView trimmed = trimBlanks(parameter);
    static constexpr QLatin1StringView kType("TYPE=");
    static constexpr QLatin1StringView kEncoding("ENCODING=");
    if (trimmed.size() > kType.size() &&
        equalsIgnoringAsciiCase(trimmed.first(kType.size()), kType)) {
        QStringView types = trimmed.sliced(kType.size());
        if (types.size() >= 2 && types.front() == u'"' && types.back() == u'"')
            types = types.sliced(1, types.size() - 2);
        for (const QStringView type : types.split(u',', Qt::SkipEmptyParts))
            out.append(u';').append(trimBlanks(type));
        return;
    }
    out.append(u';');
    if (equalsIgnoringAsciiCase(trimmed, QLatin1StringView("ENCODING=b")))
        out.append(kEncoding).append(u"BASE64");
    else
        out.append(parameter);
}

// The value with its 3.0 escapes decoded but "\;"; escaped line breaks as CR LF.
QString valueIn21(QStringView value) {
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 >= value.size()) {
            text.append(c);
            continue;
        }
        const QChar next = value[++i];
        if (next == u'n' || next == u'N')
            text.append(u"\r\n");
        else if (next == u';')
            text.append(u"\\;");
        else if (next == u',' || next == u':' || next == u'\\')
            text.append(next);
        else
            text.append(c).append(next);
    }
    return text;
}

}  // namespace

QString lineIn21(QStringView line) {
    const QStringView part = propertyPartOf(line);
    const QStringView value = valueOf(line);
    const QList<QStringView> pieces = splitPropertyPart(part);
    QString out;
    out.reserve(line.size() + 32);
    out.append(pieces.constFirst());
    for (qsizetype i = 1; i < pieces.size(); ++i)
        appendParameter21(out, pieces[i]);
    if (isQuotedPrintable(part)) {
        out.append(u':').append(value);
        return out;
    }
    const QString text = valueIn21(value);
    if (text.contains(u'\r') || text.contains(u'\n')) {
        out.append(u';').append(kNoteEncoding).append(u':').append(encodeNote(text));
        return out;
    }
    out.append(u':').append(text);
    return out;
}

}  // namespace pennacle
