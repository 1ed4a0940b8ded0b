#include "cards/convert.h"

#include "cards/propertytable.h"
#include "cards/propertyvalues.h"
#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"
#include "vcard/quotedprintable.h"
#include "vcard/writer40.h"

#include <QList>
#include <QStringDecoder>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <optional>
#include <vector>

namespace pennacle {

namespace {

QString convertTag() {
    return procedureTag("modVCard", "ConvertCard");
}

// A picture, sound or key format as a 2.1/3.0 type word names it and as a media type does. The
// first row of a media type gives the word it is written back with.
struct MediaFormat {
    QLatin1StringView word;
    QLatin1StringView mediaType;
};

constexpr MediaFormat kMediaFormats[] = {
    {QLatin1StringView("JPEG"), QLatin1StringView("image/jpeg")},
    {QLatin1StringView("JPG"), QLatin1StringView("image/jpeg")},
    {QLatin1StringView("PNG"), QLatin1StringView("image/png")},
    {QLatin1StringView("GIF"), QLatin1StringView("image/gif")},
    {QLatin1StringView("BMP"), QLatin1StringView("image/bmp")},
    {QLatin1StringView("TIFF"), QLatin1StringView("image/tiff")},
    {QLatin1StringView("PDF"), QLatin1StringView("application/pdf")},
    {QLatin1StringView("WAVE"), QLatin1StringView("audio/wav")},
    {QLatin1StringView("MPEG"), QLatin1StringView("video/mpeg")},
    {QLatin1StringView("X509"), QLatin1StringView("application/x-x509-ca-cert")},
    {QLatin1StringView("PGP"), QLatin1StringView("application/pgp-keys")},
};

// Data whose format no word names.
constexpr QLatin1StringView kUnknownMedia("application/octet-stream");

// The media type that a type word names; none when it names no format. A word that is a media
// type already (written so from a data: address) stands for itself.
std::optional<QString> mediaTypeOfWord(QStringView word) {
    for (const MediaFormat& format : kMediaFormats) {
        if (equalsIgnoringAsciiCase(word, format.word))
            return QString(format.mediaType);
    }
    if (holdsChar(word, u'/'))
        return word.toString();
    return std::nullopt;
}

// The type word a media type is written as in 3.0; none for data of no known format.
std::optional<QString> wordOfMediaType(const QString& mediaType) {
    if (mediaType.isEmpty() || equalsIgnoringAsciiCase(mediaType, kUnknownMedia))
        return std::nullopt;
    for (const MediaFormat& format : kMediaFormats) {
        if (equalsIgnoringAsciiCase(mediaType, format.mediaType))
            return QString(format.word);
    }
    return mediaType;
}

// One property as the converter holds it: its parts decoded, as no version spells them.
struct Property {
    QString head;  // group and name, as the card has them
    QString name;  // without the group
    QStringList types;
    int pref = 0;            // 0: not preferred
    QStringList others;      // parameters without a counterpart to map, as they stand
    bool uri = false;        // the value is an address: written without escapes
    bool contentId = false;  // 2.1's VALUE=CONTENT-ID: the address of a mail part
    bool binary = false;
    QString mediaType;         // of binary data
    QList<QStringList> value;  // components, each a list of items; the data when binary
};

// What a whole card holds.
struct CardContent {
    QString version;  // what its VERSION line says
    std::vector<Property> properties;
    bool escapes = false;
    bool plainForVersion = true;  // no CHARSET, no quoted-printable
};

bool isWord(QStringView parameter, QLatin1StringView word) {
    return equalsIgnoringAsciiCase(parameter, word);
}

QStringView unquoted(QStringView text) {
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"')
        return text.sliced(1, text.size() - 2);
    return text;
}

void addTypeWords(Property& property, QStringView words) {
    for (const QStringView word : unquoted(words).split(u',', Qt::SkipEmptyParts)) {
        // Line breaks are written as blanks, and blanks around a word are not read back.
        QString type = unquoted(trimBlanks(word)).toString();
        type.replace(u'\r', u' ').replace(u'\n', u' ');
        type = trimBlanks(type).toString();
        if (isWord(type, QLatin1StringView("PREF")))
            property.pref = property.pref == 0 ? 1 : property.pref;
        else if (!type.isEmpty())
            property.types.append(type);
    }
}

// A parameter without a name: in 2.1 a type word or an encoding.
void takeBareWord(Property& property, QStringView word) {
    if (isWord(word, QLatin1StringView("BASE64")) || isWord(word, QLatin1StringView("B")))
        property.binary = true;
    else if (!isWord(word, QLatin1StringView("QUOTED-PRINTABLE")) &&
             !isWord(word, QLatin1StringView("8BIT")) && !isWord(word, QLatin1StringView("7BIT")))
        addTypeWords(property, word);
}

void takeEncoding(Property& property, QStringView encoding, QStringView parameter) {
    if (isWord(encoding, QLatin1StringView("BASE64")) || isWord(encoding, QLatin1StringView("B")))
        property.binary = true;
    else if (!isWord(encoding, QLatin1StringView("QUOTED-PRINTABLE")) &&
             !isWord(encoding, QLatin1StringView("8BIT")) &&
             !isWord(encoding, QLatin1StringView("7BIT")))
        property.others.append(parameter.toString());
}

// VALUE=: an address in any spelling is "uri"; inline data and 3.0 binary need no mark.
void takeValueKind(Property& property, QStringView kind, QStringView parameter) {
    const QStringView bare = unquoted(kind);
    const bool contentId =
        isWord(bare, QLatin1StringView("CONTENT-ID")) || isWord(bare, QLatin1StringView("CID"));
    property.contentId |= contentId;
    if (contentId || isWord(bare, kUrlValueType) || isWord(bare, QLatin1StringView("URI")))
        property.uri = true;
    else if (!isWord(bare, QLatin1StringView("INLINE")) &&
             !isWord(bare, QLatin1StringView("BINARY")))
        property.others.append(parameter.toString());
}

// PREF=n of a 4.0 card. A value that is no rank, and any PREF= of an older card, has no
// meaning to map: it stays as it stands.
void takePref(Property& property, QStringView number, QStringView parameter, bool version4) {
    if (!version4) {
        property.others.append(parameter.toString());
        return;
    }
    bool ok = false;
    const int n = unquoted(number).toInt(&ok);
    if (ok && n > 0)
        property.pref = n;
    else
        property.others.append(parameter.toString());  // no rank to map: kept as it stands
}

void takeParameter(Property& property, QStringView parameter, bool version4) {
    // Line breaks are written as blanks, and blanks around a parameter are not read back.
    QString inOneLine = parameter.toString();
    inOneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QStringView trimmed = trimBlanks(inOneLine);
    // The value is written decoded: a parameter that any reader could take for the
    // quoted-printable mark ("ENCODING=QUOTED-PRINTABLEX" too) must not come along.
    if (trimmed.isEmpty() ||
        indexOfIgnoringAsciiCase(trimmed, QLatin1StringView("ENCODING=QUOTED-PRINTABLE")) >= 0)
        return;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0) {
        takeBareWord(property, trimmed);
        return;
    }
    const QStringView name = trimBlanks(trimmed.first(equals));
    const QStringView value = trimBlanks(trimmed.sliced(equals + 1));
    if (isWord(name, QLatin1StringView("TYPE")))
        addTypeWords(property, value);
    else if (isWord(name, QLatin1StringView("ENCODING")))
        takeEncoding(property, value, trimmed);
    else if (isWord(name, QLatin1StringView("VALUE")))
        takeValueKind(property, value, trimmed);
    else if (isWord(name, QLatin1StringView("PREF")))
        takePref(property, value, trimmed, version4);
    else if (!isWord(name, QLatin1StringView("CHARSET")))
        property.others.append(trimmed.toString());
}

// The value's text with quoted-printable decoded, in the set the line names (in an ANSI
// file, its code page when it names none). Blanks at its end count only before a CR, as the
// form reads them, so that a file of LF lines reads back the same from our CR LF lines.
QString decodedValue(const PropertyLine& line, bool ansi) {
    QStringView value = line.value();
    if (!value.endsWith(u'\r')) {
        while (value.endsWith(u' '))
            value.chop(1);
    }
    value = withoutLineEnd(value);
    if (line.quotedPrintable()) {
        static const QString kAnsi = QStringLiteral("windows-1252");
        const QString& charset = line.charset().isEmpty() && ansi ? kAnsi : line.charset();
        return DecodeQuotedPrintable(value.toString(), charset);
    }
    if (line.bareQuotedPrintable())
        return decodeWrittenNote(value);
    return value.toString();
}

// Splits at each `separator` that no backslash escapes. With `escapes` (3.0/4.0) a backslash
// escapes any sign after it; without (2.1) only the separator, which a backslash makes part of
// the piece; the escape stays in the pieces either way.
QStringList splitUnescaped(QStringView text, QChar separator, bool escapes) {
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && (escapes || text[i + 1] == separator))
            ++i;
        else if (text[i] == separator) {
            pieces.append(text.sliced(start, i - start).toString());
            start = i + 1;
        }
    }
    pieces.append(text.sliced(start).toString());
    return pieces;
}

// An item of a 3.0/4.0 value with its escapes decoded; a backslash before any other sign stays.
QString unescapedItem(QStringView item) {
    QString text;
    text.reserve(item.size());
    for (qsizetype i = 0; i < item.size(); ++i) {
        const QChar c = item[i];
        const QChar next = i + 1 < item.size() ? item[i + 1] : QChar();
        if (c != u'\\' || next.isNull()) {
            text.append(c);
        } else if (next == u'n' || next == u'N') {
            text.append(u'\n');
            ++i;
        } else if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            text.append(next);
            ++i;
        } else {
            text.append(c);
        }
    }
    return text;
}

// A 2.1 component: "\;" stands for ";", any other backslash for itself.
QString unescaped21(const QString& component) {
    QString text = component;
    return text.replace(QLatin1StringView("\\;"), QLatin1StringView(";"));
}

QList<QStringList> valueOf21(const QString& text, ValueShape shape) {
    if (shape == ValueShape::Compound) {
        QList<QStringList> components;
        for (const QString& component : splitUnescaped(text, u';', false))
            components.append(QStringList{unescaped21(component)});
        return components;
    }
    if (shape == ValueShape::List)
        return {text.split(u',')};
    return {QStringList{text}};
}

QStringList itemsOf(QStringView component, bool isList) {
    QStringList items;
    if (!isList) {
        items.append(unescapedItem(component));
        return items;
    }
    for (const QString& item : splitUnescaped(component, u',', true))
        items.append(unescapedItem(item));
    return items;
}

QList<QStringList> valueOf30(const QString& text, ValueShape shape) {
    if (shape != ValueShape::Compound)
        return {itemsOf(text, shape == ValueShape::List)};
    QList<QStringList> components;
    for (const QString& component : splitUnescaped(text, u';', true))
        components.append(itemsOf(component, true));
    return components;
}

// A data: address holding Base64 data: its media type and its data.
bool takeDataAddress(Property& property, const QString& text) {
    static constexpr QLatin1StringView kScheme("data:");
    static constexpr QLatin1StringView kBase64(";base64,");
    if (text.size() < kScheme.size() ||
        !equalsIgnoringAsciiCase(QStringView(text).first(kScheme.size()), kScheme))
        return false;
    const qsizetype marker = indexOfIgnoringAsciiCase(text, kBase64);
    if (marker < 0)
        return false;
    property.binary = true;
    property.uri = false;
    property.mediaType = text.mid(kScheme.size(), marker - kScheme.size());
    property.value = {QStringList{text.mid(marker + kBase64.size())}};
    return true;
}

// Base64 data without the blanks and line breaks of its folding.
QString withoutSpaces(QStringView text) {
    QString data;
    data.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            data.append(c);
    }
    return data;
}

// An address as 3.0/4.0 write it: a mail part's name as a "cid:" address.
QString addressOf(const QString& text, bool contentId) {
    static constexpr QLatin1StringView kCid("cid:");
    const QString address = text.trimmed();
    if (!contentId || address.startsWith(kCid, Qt::CaseInsensitive))
        return address;
    return kCid + address;
}

Property propertyOf(const PropertyLine& line, bool ansi, bool version4) {
    const bool escapes = line.escapes();
    Property property;
    const QList<QStringView> pieces = splitPropertyPart(line.part());
    const QStringView head = trimBlanks(pieces.front());
    property.head = head.toString();
    // Line breaks around the name are written as blanks and read back trimmed: the name is
    // the one it will be read as.
    QStringView name = withoutGroup(head);
    while (!name.isEmpty() && (name.front().isSpace() || name.front() == u'\r'))
        name = name.sliced(1);
    while (!name.isEmpty() && (name.back().isSpace() || name.back() == u'\r'))
        name.chop(1);
    property.name = name.toString();
    for (qsizetype i = 1; i < pieces.size(); ++i)
        takeParameter(property, pieces[i], version4);
    const QString text = decodedValue(line, ansi);
    if (property.binary) {
        property.value = {QStringList{withoutSpaces(text)}};
    } else if (!takeDataAddress(property, text)) {
        if (property.uri)
            property.value = {QStringList{addressOf(text, property.contentId)}};
        else if (escapes)
            property.value = valueOf30(text, valueShapeOf(property.name));
        else
            property.value = valueOf21(text, valueShapeOf(property.name));
    }
    return property;
}

bool isNamed(const Property& property, Rule rule) {
    return equalsIgnoringAsciiCase(property.name, propertyName(rule));
}

// Reads every property line of a card, with the lines that go on with the one before: Base64
// data up to the empty line that ends it, and the further lines of a note.
class CardReader {
public:
    explicit CardReader(const CardBytes& card) : lines_(card), syntax_(card) {
        content_.escapes = syntax_.escapes();
    }

    CardContent read() {
        while (lines_.next())
            takeLine(lines_.decodedText());
        return std::move(content_);
    }

private:
    void takeLine(QStringView text) {
        if (isBlankLine(text) || !isPropertyLine(text)) {
            goOn(text);
            return;
        }
        const PropertyLine line(text, syntax_);
        const QStringView part = line.part();
        // Line breaks in the part are written as blanks: "x.\rEND" reads back as END.
        QString partInOneLine = part.toString();
        partInOneLine.replace(u'\r', u' ').replace(u'\n', u' ');
        content_.plainForVersion &=
            !line.quotedPrintable() && !line.bareQuotedPrintable() && line.charset().isEmpty();
        open_ = None;
        if (isFrameProperty(partInOneLine)) {
            takeFrame(line);
            return;
        }
        content_.properties.push_back(propertyOf(line, syntax_.ansiReading(), version4()));
        const Property& property = content_.properties.back();
        if (property.binary)
            open_ = Data;
        else if (isNamed(property, Rule::Note))
            open_ = Note;
    }

    void takeFrame(const PropertyLine& line) {
        if (content_.version.isEmpty() && keyIs(line.part(), kVersionKey))
            content_.version = trimBlanks(withoutLineEnd(line.value())).toString();
    }

    bool version4() const { return content_.version.startsWith(u'4'); }

    void goOn(QStringView text) {
        if (open_ == None)
            return;
        QString& last = content_.properties.back().value.back().back();
        if (open_ == Data) {
            if (isBlankLine(text))
                open_ = None;
            else
                last.append(withoutSpaces(text));
        } else if (isBlankLine(text)) {
            open_ = None;
        } else {
            last.append(u'\n').append(noteLineOf(text, syntax_.escapes()));
        }
    }

    enum Open { None, Data, Note };

    CardLineWalker lines_;
    CardSyntax syntax_;
    CardContent content_;
    Open open_ = None;
};

// Whether a card in the target version can be written as read: what the version requires is
// there, and nothing of an older version's encoding is.
bool isValidAsRead(const CardBytes& card, const CardContent& content, CardVersion target) {
    const bool sameVersion =
        target == CardVersion::V40 ? content.version == u"4.0" : content.version == u"3.0";
    const auto has = [&](Rule rule) {
        return std::any_of(content.properties.begin(), content.properties.end(),
                           [rule](const Property& p) { return isNamed(p, rule); });
    };
    const bool hasUid = std::any_of(
        content.properties.begin(), content.properties.end(),
        [](const Property& p) { return equalsIgnoringAsciiCase(p.name, kUniqueIdName); });
    if (!sameVersion || !content.plainForVersion || !has(Rule::FormattedName) || !hasUid ||
        (target == CardVersion::V30 && !has(Rule::Name)))
        return false;
    if (isAscii(card.bytes()))
        return true;
    // Strict UTF-8: a card folded inside a character is valid to our reader but to few others.
    if (card.encoding() != CardEncoding::Utf8)
        return false;
    QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = strict.decode(card.bytes());
    return !strict.hasError();
}

// The formatted name that a name gives: prefix, given, additional and family names, suffix;
// empty when it holds no name, so that a card without one shows none either.
QString formattedNameOf(const Property& name) {
    const auto component = [&](qsizetype i) {
        return i < name.value.size() ? name.value[i].join(u' ').trimmed() : QString();
    };
    if (component(0).isEmpty() && component(1).isEmpty() && component(2).isEmpty())
        return QString();
    QStringList parts;
    for (const qsizetype i : {3, 1, 2, 0, 4}) {
        if (!component(i).isEmpty())
            parts.append(component(i));
    }
    return parts.join(u' ');
}

Property requiredProperty(QLatin1StringView name, QList<QStringList> value) {
    Property property;
    property.head = name;
    property.name = property.head;
    property.value = std::move(value);
    return property;
}

// A card without a UID gets one made from its bytes: saved again unchanged, it names the same
// card, so a server that keeps it by its UID is not given a second copy.
QString uniqueIdOf(const CardBytes& card) {
    static const QUuid kNamespace = QUuid::fromString(u"{5b0c2a51-4f7e-4f6b-9d3e-7a1c0e2f9b64}");
    return QLatin1StringView("urn:uuid:") +
           QUuid::createUuidV5(kNamespace, card.bytes()).toString(QUuid::WithoutBraces);
}

// Adds FN and N when the card lacks them, ahead of every other property, so that a
// later line of the card still fills what it filled before; and a UID, which address book
// servers require.
void addRequired(CardContent& content, const CardBytes& card) {
    std::vector<Property>& properties = content.properties;
    const auto find = [&](Rule rule) {
        return std::find_if(properties.begin(), properties.end(),
                            [rule](const Property& p) { return isNamed(p, rule); });
    };
    std::vector<Property> added;
    if (find(Rule::FormattedName) == properties.end()) {
        const auto name = find(Rule::Name);
        const QString text = name == properties.end() ? QString() : formattedNameOf(*name);
        added.push_back(requiredProperty(propertyName(Rule::FormattedName), {QStringList{text}}));
    }
    // 4.0 does not require N, but a card that went through 3.0 has one: written in both, the
    // versions convert into each other unchanged.
    if (find(Rule::Name) == properties.end())
        added.push_back(
            requiredProperty(propertyName(Rule::Name), QList<QStringList>(5, QStringList{""})));
    const bool hasUid = std::any_of(properties.begin(), properties.end(), [](const Property& p) {
        return equalsIgnoringAsciiCase(p.name, kUniqueIdName);
    });
    if (!hasUid)
        added.push_back(requiredProperty(kUniqueIdName, {QStringList{uniqueIdOf(card)}}));
    properties.insert(properties.begin(), added.begin(), added.end());
}

void appendParameter(QString& line, QStringView parameter) {
    line.append(u';').append(parameter);
}

void appendTypes(QString& line, const QStringList& types) {
    if (types.isEmpty())
        return;
    line.append(QLatin1StringView(";TYPE="));
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (i > 0)
            line.append(u',');
        const QString word = QString(types[i]).remove(u'"');
        if (needsQuotes(word))
            line.append(u'"').append(word).append(u'"');
        else
            line.append(word);
    }
}

// The type words a property is written with: for binary data of 3.0 its format first, and PREF.
QStringList typesFor(const Property& property, CardVersion target) {
    QStringList types = property.types;
    if (target == CardVersion::V30) {
        if (property.binary) {
            if (const std::optional<QString> word = wordOfMediaType(property.mediaType))
                types.prepend(*word);
        }
        if (property.pref == 1)
            types.append(QStringLiteral("PREF"));
    } else if (property.binary && property.mediaType.isEmpty()) {
        // The media type goes into the data: address.
        const auto format = std::find_if(types.begin(), types.end(), [](const QString& word) {
            return mediaTypeOfWord(word).has_value();
        });
        if (format != types.end())
            types.erase(format);
    }
    return types;
}

QString mediaTypeFor(const Property& property) {
    if (!property.mediaType.isEmpty())
        return property.mediaType;
    for (const QString& word : property.types) {
        if (const std::optional<QString> media = mediaTypeOfWord(word))
            return *media;
    }
    return kUnknownMedia;
}

void appendValue(QString& line, const Property& property, CardVersion target) {
    const QString& data = property.value.front().front();
    if (property.binary && target == CardVersion::V40) {
        line.append(QLatin1StringView("data:")).append(mediaTypeFor(property));
        line.append(QLatin1StringView(";base64,")).append(data);
    } else if (property.binary || property.uri) {
        line.append(data);
    } else {
        for (qsizetype c = 0; c < property.value.size(); ++c) {
            if (c > 0)
                line.append(u';');
            const QStringList& items = property.value[c];
            for (qsizetype i = 0; i < items.size(); ++i) {
                if (i > 0)
                    line.append(u',');
                appendEscaped(line, items[i]);
            }
        }
    }
}

// A piece of a property part as it can stand among others in any order: a quote that nothing
// closes would pair with one of a piece written after it.
QString balancedQuotes(const QString& piece) {
    if (piece.count(u'"') % 2 == 0)
        return piece;
    QString text = piece;
    return text.remove(u'"');
}

// A line break in a name, a parameter or an address would end the line early: as a blank.
// Blanks before the name would make the line a fold of the one before: they go.
void asOneLine(QString& line) {
    for (QChar& c : line) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    qsizetype start = 0;
    while (start < line.size() && (line[start] == u' ' || line[start] == u'\t'))
        ++start;
    line.remove(0, start);
}

QString lineOf(const Property& property, CardVersion target) {
    QString line;
    line.reserve(property.head.size() + 64);
    // A name is read trimmed: a line break at its end, made a blank, would not read back.
    QString head = property.head;
    asOneLine(head);
    while (head.endsWith(u' ') || head.endsWith(u'\t'))
        head.chop(1);
    line.append(head);
    appendTypes(line, typesFor(property, target));
    if (property.pref > 0 && (target == CardVersion::V40 || property.pref != 1))
        line.append(QLatin1StringView(";PREF=")).append(QString::number(property.pref));
    for (const QString& other : property.others)
        appendParameter(line, balancedQuotes(other));
    if (property.binary && target == CardVersion::V30)
        line.append(u';').append(kEncodingB);
    if (property.uri)
        line.append(QLatin1StringView(";VALUE=uri"));
    line.append(u':');
    appendValue(line, property, target);
    asOneLine(line);
    return line;
}

QByteArray writtenCard(const CardContent& content, CardVersion target) {
    QByteArray card;
    card.reserve(256 + 96 * qsizetype(content.properties.size()));
    appendAsciiLine(card, kBeginCard);
    appendAsciiLine(card, target == CardVersion::V40 ? kVersion40 : kVersion30);
    for (const Property& property : content.properties)
        appendFoldedLine(card, lineOf(property, target));
    card.append(kEndCard.data(), kEndCard.size());
    return card;
}

}  // namespace

CardBytes convertCard(const CardBytes& card, CardVersion target, Reporter& reporter) {
    if (target == CardVersion::V21)
        return card;
    Guard g(reporter, convertTag());
    std::optional<CardContent> content;
    bool asRead = false;
    g(100, [&] { content = CardReader(card).read(); });
    g(102, [&] { asRead = content && isValidAsRead(card, *content, target); });
    if (!content)
        return card;
    // ASCII reads the same in both encodings: a card written as read is UTF-8 too.
    if (asRead)
        return CardBytes(card.bytes(), CardEncoding::Utf8);
    std::optional<CardBytes> converted;
    g(104, [&] { addRequired(*content, card); });
    g(106, [&] { converted.emplace(writtenCard(*content, target), CardEncoding::Utf8); });
    return converted ? *converted : card;
}

}  // namespace pennacle
