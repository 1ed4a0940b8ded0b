#include "vcard/recode.h"

#include "core/ansiencoding.h"
#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"
#include "vcard/writer21.h"

#include <optional>

namespace pennacle {

namespace {

constexpr QLatin1StringView kWindows1252("WINDOWS-1252");
constexpr QLatin1StringView kUtf8("UTF-8");

// Whether the bytes hold a "CHARSET=" in any case: most cards hold none and are converted
// whole.
bool namesCharset(QByteArrayView bytes) {
    static constexpr QByteArrayView kName = "CHARSET";
    for (qsizetype at = bytes.indexOf('='); at >= 0; at = bytes.indexOf('=', at + 1)) {
        if (at >= kName.size() &&
            bytes.sliced(at - kName.size(), kName.size()).compare(kName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Appends text in the encoding; false when a character became "?".
bool appendText(QByteArray& out, QStringView text, CardEncoding target) {
    if (target == CardEncoding::Utf8) {
        appendUtf8(out, text);
        return true;
    }
    appendAnsi(out, text);
    return fitsAnsi(text);
}

bool appendConverted(QByteArray& out, QByteArrayView bytes, CardEncoding from, CardEncoding to) {
    return appendText(out, decodeText(bytes, from), to);
}

// The end of the line that starts at `start` with the lines that continue it (a blank or a tab
// first): the index of its last LF, or the size.
qsizetype foldedLineEnd(QByteArrayView bytes, qsizetype start) {
    qsizetype end = physicalLineEnd(bytes, start);
    while (end + 1 < bytes.size() && (bytes[end + 1] == ' ' || bytes[end + 1] == '\t'))
        end = physicalLineEnd(bytes, end + 1);
    return end;
}

// The property part with its CHARSET value replaced.
QString withCharset(QStringView part, QLatin1StringView name) {
    const qsizetype at = indexOfIgnoringAsciiCase(part, QLatin1StringView("CHARSET="));
    const qsizetype from = at + 8;
    qsizetype to = part.indexOf(u';', from);
    if (to < 0)
        to = part.size();
    QString named = part.toString();
    return named.replace(from, to - from, name);
}

// A folded value as one line: the line breaks of its folds go, their blanks stay.
QString unfolded(QStringView value) {
    QString text = value.toString();
    text.remove(u'\r');
    return text.remove(u'\n');
}

void appendLine(QByteArray& out, QStringView part, QStringView extra, QByteArrayView value) {
    appendUtf8(out, part);
    appendUtf8(out, extra);
    out.append(':').append(value);
}

// The value's characters as the line names them: an ANSI reading is read again in the
// line's set; a UTF-8 card's text is what it is.
std::optional<QString> valueText(QStringView value, const QString& charset, CardEncoding from) {
    if (from == CardEncoding::Utf8)
        return value.toString();
    return rereadInCharset(value, charset);
}

// Writes the line `text` (a property line without its line end) when it names a character set
// for a raw value outside ASCII; false when it is no such line.
bool appendCharsetLine(QByteArray& out, QStringView text, CardEncoding from, CardEncoding to) {
    const qsizetype colon = propertyColonOf(text);
    if (colon < 0)
        return false;
    const QStringView part = text.first(colon);
    const QStringView value = text.sliced(colon + 1);
    const QString charset = charsetOf(part);
    if (charset.isEmpty() || isQuotedPrintable(part) || isAsciiText(value) ||
        hasParameter(part, QLatin1String("BASE64")) ||
        hasParameter(part, QLatin1String("ENCODING=B")))
        return false;
    const std::optional<QString> shown = valueText(value, charset, from);
    QByteArray encoded;
    if (!shown) {
        // Its bytes under its own set, which the file's encoding cannot carry raw.
        appendQuotedPrintableBytes(encoded, encodeAnsi(unfolded(value)));
        appendLine(out, part, u";ENCODING=QUOTED-PRINTABLE", encoded);
    } else if (to == CardEncoding::Utf8) {
        appendUtf8(encoded, *shown);
        appendLine(out, withCharset(part, kUtf8), {}, encoded);
    } else if (fitsAnsi(*shown)) {
        appendAnsi(encoded, *shown);
        appendLine(out, withCharset(part, kWindows1252), {}, encoded);
    } else {
        appendQuotedPrintableUtf8(encoded, unfolded(*shown));
        appendLine(out, withCharset(part, kUtf8), u";ENCODING=QUOTED-PRINTABLE", encoded);
    }
    return true;
}

}  // namespace

QString lineForUtf8Card(QStringView ansiLine) {
    QByteArray out;
    if (!appendCharsetLine(out, ansiLine, CardEncoding::Ansi, CardEncoding::Utf8))
        return ansiLine.toString();
    return QString::fromUtf8(out);
}

bool appendRecoded(QByteArray& out, const CardBytes& card, CardEncoding target) {
    const CardEncoding from = card.encoding();
    const QByteArrayView bytes(card.bytes());
    if (!namesCharset(bytes))
        return appendConverted(out, bytes, from, target);
    bool whole = true;
    qsizetype copied = 0;  // the bytes before it are written
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = foldedLineEnd(bytes, start);
        const QByteArrayView body = withoutLineEnd(bytes.sliced(start, end - start));
        QByteArray line;
        if (appendCharsetLine(line, decodeText(body, from), from, target)) {
            whole =
                appendConverted(out, bytes.sliced(copied, start - copied), from, target) && whole;
            out.append(line);
            copied = start + body.size();
        }
        start = end + 1;
    }
    return appendConverted(out, bytes.sliced(copied), from, target) && whole;
}

}  // namespace pennacle
