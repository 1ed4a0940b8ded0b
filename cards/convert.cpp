#include "cards/convert.h"

#include "cards/mediaformats.h"
#include "cards/propertyreader.h"
#include "cards/propertyvalues.h"
#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/propertyline.h"
#include "vcard/quotedprintable.h"
#include "vcard/writer40.h"

#include <QStringDecoder>
#include <QStringList>
#include <QStringTokenizer>
#include <QUuid>
#include <QVarLengthArray>

#include <algorithm>
#include <optional>
#include <vector>

namespace pennacle {

namespace {

QString convertTag() {
    return procedureTag("modVCard", "ConvertCard");
}

// Data whose format no word names.
constexpr QLatin1StringView kUnknownMedia("application/octet-stream");

// Whether the text can be a media type: a type and a subtype of letters, digits and the few
// signs that media type names use. Anything else would not stay one type word in 3.0.
bool isMediaTypeName(QStringView text) {
    const qsizetype slash = text.indexOf(u'/');
    if (slash <= 0 || slash == text.size() - 1 || text.lastIndexOf(u'/') != slash)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               QStringView(u"/!#$&-^_.+").contains(c);
    });
}

// The media type that a type word names; none when it names no format. A word that is a media
// type already (written so from a data: address) stands for itself, in the table's spelling.
std::optional<QString> mediaTypeOfWord(QStringView word) {
    if (const MediaFormat* format = mediaFormatOfWord(word))
        return QString(format->mediaType);
    if (!isMediaTypeName(word))
        return std::nullopt;
    if (const MediaFormat* format = mediaFormatOfType(word))
        return QString(format->mediaType);  // as 3.0's word for it reads back
    return word.toString();
}

// The type word a media type is written as in 3.0; none for data of no known format.
std::optional<QString> wordOfMediaType(QStringView mediaType) {
    if (mediaType.isEmpty() || equalsIgnoringAsciiCase(mediaType, kUnknownMedia))
        return std::nullopt;
    if (const MediaFormat* format = mediaFormatOfType(mediaType))
        return QString(format->word);
    return mediaType.toString();
}

// The parameters of one property, read as no version spells them. They view the line, which is
// written before the card's next line is read.
struct Parameters {
    QVarLengthArray<QStringView, 4> types;
    QVarLengthArray<QStringView, 4> others;  // without a counterpart to map, as they stand
    QStringList cleanedTypes;                // type words that held quotes, without them
    int pref = 0;                            // 0: not preferred
    bool uri = false;                        // the value is an address: written without escapes
    bool contentId = false;                  // 2.1's VALUE=CONTENT-ID: the address of a mail part
    bool binary = false;
};

bool isWord(QStringView parameter, QLatin1StringView word) {
    return equalsIgnoringAsciiCase(parameter, word);
}

QStringView unquoted(QStringView text) {
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"')
        return text.sliced(1, text.size() - 2);
    return text;
}

// The text without blanks and line breaks at its ends: line breaks are written as blanks, and
// blanks around a parameter or a type word are not read back.
QStringView trimmedInOneLine(QStringView text) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\r' || c == u'\n'; };
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.sliced(first, last - first);
}

void addTypeWords(Parameters& parameters, QStringView words) {
    for (const QStringView word : qTokenize(unquoted(words), u',', Qt::SkipEmptyParts)) {
        QStringView type = trimmedInOneLine(unquoted(trimmedInOneLine(word)));
        if (holdsChar(type, u'"')) {
            // A type word is written without quotes: what they held reads back trimmed.
            parameters.cleanedTypes.append(type.toString().remove(u'"'));
            type = trimmedInOneLine(parameters.cleanedTypes.back());
        }
        if (isWord(type, QLatin1StringView("PREF")))
            parameters.pref = parameters.pref == 0 ? 1 : parameters.pref;
        else if (!type.isEmpty())
            parameters.types.append(type);
    }
}

// A parameter without a name: in 2.1 a type word or an encoding.
void takeBareWord(Parameters& parameters, QStringView word) {
    if (isWord(word, QLatin1StringView("BASE64")) || isWord(word, QLatin1StringView("B")))
        parameters.binary = true;
    else if (!isWord(word, QLatin1StringView("QUOTED-PRINTABLE")) &&
             !isWord(word, QLatin1StringView("8BIT")) && !isWord(word, QLatin1StringView("7BIT")))
        addTypeWords(parameters, word);
}

void takeEncoding(Parameters& parameters, QStringView encoding, QStringView parameter) {
    if (isWord(encoding, QLatin1StringView("BASE64")) || isWord(encoding, QLatin1StringView("B")))
        parameters.binary = true;
    else if (!isWord(encoding, QLatin1StringView("QUOTED-PRINTABLE")) &&
             !isWord(encoding, QLatin1StringView("8BIT")) &&
             !isWord(encoding, QLatin1StringView("7BIT")))
        parameters.others.append(parameter);
}

// VALUE=: an address in any spelling is "uri"; inline data and 3.0 binary need no mark.
void takeValueKind(Parameters& parameters, QStringView kind, QStringView parameter) {
    const QStringView bare = unquoted(kind);
    const bool contentId =
        isWord(bare, QLatin1StringView("CONTENT-ID")) || isWord(bare, QLatin1StringView("CID"));
    parameters.contentId |= contentId;
    if (contentId || isWord(bare, kUrlValueType) || isWord(bare, QLatin1StringView("URI")))
        parameters.uri = true;
    else if (!isWord(bare, QLatin1StringView("INLINE")) &&
             !isWord(bare, QLatin1StringView("BINARY")))
        parameters.others.append(parameter);
}

// PREF=n, as 4.0 ranks a property; some older cards write it too, and it reads as a rank in the
// 4.0 we write. A value that is no rank has no meaning to map: it stays as it stands.
void takePref(Parameters& parameters, QStringView number, QStringView parameter) {
    bool ok = false;
    const int n = unquoted(number).toInt(&ok);
    if (ok && n > 0)
        parameters.pref = n;
    else
        parameters.others.append(parameter);
}

void takeParameter(Parameters& parameters, QStringView parameter) {
    const QStringView trimmed = trimmedInOneLine(parameter);
    // The value is written decoded: a parameter that any reader could take for the
    // quoted-printable mark ("ENCODING=QUOTED-PRINTABLEX" too) must not come along.
    if (trimmed.isEmpty() ||
        indexOfIgnoringAsciiCase(trimmed, QLatin1StringView("ENCODING=QUOTED-PRINTABLE")) >= 0)
        return;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0) {
        takeBareWord(parameters, trimmed);
        return;
    }
    const QStringView name = trimmedInOneLine(trimmed.first(equals));
    const QStringView value = trimmedInOneLine(trimmed.sliced(equals + 1));
    if (isWord(name, QLatin1StringView("TYPE")))
        addTypeWords(parameters, value);
    else if (isWord(name, QLatin1StringView("ENCODING")))
        takeEncoding(parameters, value, trimmed);
    else if (isWord(name, QLatin1StringView("VALUE")))
        takeValueKind(parameters, value, trimmed);
    else if (isWord(name, QLatin1StringView("PREF")))
        takePref(parameters, value, trimmed);
    else if (!isWord(name, QLatin1StringView("CHARSET")))
        parameters.others.append(trimmed);
}

// The value's text with quoted-printable decoded, in the set the line names. Blanks at its end
// count only before a CR, as the form reads them, so that a file of LF lines reads back the
// same from our CR LF lines.
ShownText decodedValue(const PropertyLine& line, bool bareQuotedPrintable) {
    QStringView value = line.value();
    if (!value.endsWith(u'\r')) {
        while (value.endsWith(u' '))
            value.chop(1);
    }
    value = withoutLineEnd(value);
    if (line.quotedPrintable())
        return DecodeQuotedPrintable(value.toString(), line.charset());
    if (bareQuotedPrintable)
        return decodeWrittenNote(value);
    return value;
}

// A value as its components, each a list of items, decoded: held as one text and the places
// where its items end, so that a property costs no list of its own.
class ItemValue {
public:
    void reserve(qsizetype size) { text_.reserve(size); }
    void clear() {
        text_.resize(0);  // keeps the room for the next property
        breaks_.clear();
    }
    // The text of the last item, which a note's further lines and Base64 data go on with.
    QString& text() { return text_; }
    const QString& text() const { return text_; }
    // Ends the item at a separator: "," starts the next item, ";" the next component.
    void endAt(QChar separator) { breaks_.push_back({text_.size(), separator == u';'}); }

    // Every item escaped, "," between the items of a component, ";" between components.
    void appendEscapedTo(QString& line) const {
        qsizetype start = 0;
        for (const Break& end : breaks_) {
            appendEscaped(line, QStringView(text_).sliced(start, end.at - start));
            line.append(end.component ? u';' : u',');
            start = end.at;
        }
        appendEscaped(line, QStringView(text_).sliced(start));
    }

    // A component's items joined by blanks, trimmed; empty when the value has no such component.
    QString component(qsizetype index) const {
        QString joined;
        qsizetype start = 0;
        qsizetype current = 0;
        for (const Break& end : breaks_) {
            if (current == index)
                joined.append(QStringView(text_).sliced(start, end.at - start));
            if (end.component && ++current > index)
                return joined.trimmed();
            if (current == index && !end.component)
                joined.append(u' ');
            start = end.at;
        }
        if (current == index)
            joined.append(QStringView(text_).sliced(start));
        return joined.trimmed();
    }

private:
    struct Break {
        qsizetype at;    // where the item ends in the text
        bool component;  // the next item starts the next component
    };
    QString text_;
    QVarLengthArray<Break, 16> breaks_;
};

// A 2.1 value: components split at each ";" that no backslash escapes, where "\;" stands for ";"
// and any other backslash for itself; a list split at ",".
void readValue21(ItemValue& value, QStringView text, ValueShape shape) {
    QString& out = value.text();
    qsizetype run = 0;  // the start of the characters not copied yet
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (shape == ValueShape::Compound && c == u'\\' && i + 1 < text.size() &&
            text[i + 1] == u';') {
            out.append(text.sliced(run, i - run)).append(u';');
            run = ++i + 1;
        } else if ((shape == ValueShape::Compound && c == u';') ||
                   (shape == ValueShape::List && c == u',')) {
            out.append(text.sliced(run, i - run));
            run = i + 1;
            value.endAt(c);
        }
    }
    out.append(text.sliced(run));
}

// A 3.0/4.0 value: components split at each ";" and items at each "," that no backslash
// escapes; "\n" decoded as a line break, "\\" "\," "\;" "\:" as the sign; a backslash before
// any other sign stays.
void readValue30(ItemValue& value, QStringView text, ValueShape shape) {
    const bool compound = shape == ValueShape::Compound;
    const bool list = shape != ValueShape::Text;  // a component is a list of items
    QString& out = value.text();
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == u'n' || next == u'N') {
                out.append(text.sliced(run, i - run)).append(u'\n');
                run = i + 2;
            } else if (next == u'\\' || next == u',' || next == u';' || next == u':') {
                out.append(text.sliced(run, i - run)).append(next);
                run = i + 2;
            }
            ++i;  // the sign after a backslash separates nothing
        } else if ((compound && c == u';') || (list && c == u',')) {
            out.append(text.sliced(run, i - run));
            run = i + 1;
            value.endAt(c);
        }
    }
    out.append(text.sliced(run));
}

// A data: address holding Base64 data: its media type and its data. The first "," ends the
// address's head, so a media type never holds one.
bool takeDataAddress(QStringView text, QStringView& mediaType, QStringView& data) {
    static constexpr QLatin1StringView kScheme("data:");
    static constexpr QLatin1StringView kBase64(";base64");
    if (text.size() < kScheme.size() ||
        !equalsIgnoringAsciiCase(text.first(kScheme.size()), kScheme))
        return false;
    const qsizetype comma = text.indexOf(u',');
    if (comma < kScheme.size() + kBase64.size() ||
        !equalsIgnoringAsciiCase(text.sliced(comma - kBase64.size(), kBase64.size()), kBase64))
        return false;
    mediaType = text.sliced(kScheme.size(), comma - kBase64.size() - kScheme.size());
    data = text.sliced(comma + 1);
    return true;
}

// Base64 data without the blanks and line breaks of its folding.
void appendWithoutSpaces(QString& data, QStringView text) {
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            data.append(c);
    }
}

// An address as 3.0/4.0 write it: a mail part's name as a "cid:" address.
void appendAddress(QString& out, QStringView text, bool contentId) {
    static constexpr QLatin1StringView kCid("cid:");
    const QStringView address = text.trimmed();
    if (contentId && !address.startsWith(kCid, Qt::CaseInsensitive))
        out.append(kCid);
    out.append(address);
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

// A piece of a property part as it can stand among others in any order. A quote that nothing
// closes (the part's last, which opened nothing) would pair with one of a piece written after
// it: the piece gets a quote at its end to close it, and reads back as it was read, its name
// and what its other quotes held included.
void appendBalanced(QString& line, QStringView piece) {
    line.append(piece);
    if (piece.count(u'"') % 2 != 0)
        line.append(u'"');
}

// The type words a property is written with. The format of binary data is in a data: address
// in 4.0 and the first type word in 3.0, spelled as its media type is, wherever the card had it:
// the versions then convert into each other unchanged. 3.0 writes PREF as a type word.
void appendTypes(QString& line, const Parameters& parameters, QStringView mediaType,
                 CardVersion target) {
    QVarLengthArray<QStringView, 6> types(parameters.types.begin(), parameters.types.end());
    QString media;   // of the type word that names the format
    QString format;  // the word written for it in 3.0
    if (parameters.binary && mediaType.isEmpty()) {
        const auto word = std::find_if(types.begin(), types.end(), [](QStringView type) {
            return mediaTypeOfWord(type).has_value();
        });
        if (word != types.end()) {
            media = *mediaTypeOfWord(*word);
            mediaType = media;
            types.erase(word);
        }
    }
    if (target == CardVersion::V30) {
        if (parameters.binary) {
            if (std::optional<QString> word = wordOfMediaType(mediaType)) {
                format = std::move(*word);
                types.insert(types.begin(), format);
            }
        }
        if (parameters.pref == 1)
            types.append(u"PREF");
    }
    if (types.isEmpty())
        return;
    line.append(QLatin1StringView(";TYPE="));
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (i > 0)
            line.append(u',');
        const bool quoted = needsQuotes(types[i]);
        if (quoted)
            line.append(u'"');
        if (holdsChar(types[i], u'"')) {
            for (const QChar c : types[i]) {
                if (c != u'"')
                    line.append(c);
            }
        } else {
            line.append(types[i]);
        }
        if (quoted)
            line.append(u'"');
    }
}

QString mediaTypeFor(const Parameters& parameters, QStringView mediaType) {
    if (!mediaType.isEmpty())
        return mediaType.toString();
    for (const QStringView word : parameters.types) {
        if (std::optional<QString> media = mediaTypeOfWord(word))
            return *media;
    }
    return kUnknownMedia;
}

// A property part as it is written: line breaks made blanks (in `scratch` when it holds any),
// no blanks or tabs before the name.
QStringView asWritten(QStringView part, QString& scratch) {
    if (holdsChar(part, u'\r') || holdsChar(part, u'\n')) {
        scratch = part.toString();
        scratch.replace(u'\r', u' ').replace(u'\n', u' ');
        part = scratch;
    }
    while (!part.isEmpty() && (part.front() == u' ' || part.front() == u'\t'))
        part = part.sliced(1);
    return part;
}

// A property line's pieces: its group and name, and its parameters.
struct PropertyPieces {
    QStringView head;
    QVarLengthArray<QStringView, 8> parameters;
    bool bareQuotedPrintable = false;  // as the 2.1 writer marks notes

    explicit PropertyPieces(QStringView part) {
        bool first = true;
        forEachPropertyPiece(part, [&](QStringView piece) {
            if (first) {
                head = trimBlanks(piece);
                first = false;
                return;
            }
            parameters.append(piece);
            static constexpr QLatin1String kMark("QUOTED-PRINTABLE");
            const QStringView word = trimBlanks(piece);
            bareQuotedPrintable |=
                word.size() == kMark.size() && word.compare(kMark, Qt::CaseInsensitive) == 0;
        });
    }
};

// The property's name without its group. Line breaks around it are written as blanks and read
// back trimmed: the name is the one it will be read as.
QStringView nameOf(QStringView head) {
    QStringView name = withoutGroup(head);
    while (!name.isEmpty() && (name.front().isSpace() || name.front() == u'\r'))
        name = name.sliced(1);
    while (!name.isEmpty() && (name.back().isSpace() || name.back() == u'\r'))
        name.chop(1);
    return name;
}

// Converts a card line by line: a property is written once the lines that go on with it are
// read (Base64 data up to the empty line that ends it, the further lines of a note). A card
// that says it is in the target version already is only looked at, unless `mayBeAsRead` is
// false: most such cards are written as read.
class CardConverter {
public:
    CardConverter(const CardBytes& card, CardVersion target, bool mayBeAsRead)
        : card_(card), lines_(card), target_(target), mayBeAsRead_(mayBeAsRead) {}

    void read() {
        // Room for most lines at once: a line that outgrows it grows its buffers.
        const qsizetype size = card_.bytes().size();
        const qsizetype lineRoom = std::min<qsizetype>(size, 4096);
        line_.reserve(lineRoom);
        value_.reserve(lineRoom);
        name_.reserve(lineRoom);
        body_.reserve(size + size / 4 + 256);
        appendAsciiLine(body_, kBeginCard);
        appendAsciiLine(body_, target_ == CardVersion::V40 ? kVersion40 : kVersion30);
        bodyStart_ = body_.size();
        while (lines_.next())
            takeLine();
        flush();
    }

    // Whether the card can be written as read: what the target version requires is there, and
    // nothing of an older version's encoding is.
    bool validAsRead() const {
        const bool sameVersion = version_ == targetVersion();
        if (!sameVersion || !plainForVersion_ || !hasFormattedName_ || !hasUid_ ||
            (target_ == CardVersion::V30 && !hasName_))
            return false;
        if (isAscii(card_.bytes()))
            return true;
        // Strict UTF-8: a card folded inside a character is valid to our reader but to few others.
        if (card_.encoding() != CardEncoding::Utf8)
            return false;
        QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = strict.decode(card_.bytes());
        return !strict.hasError();
    }

    // Whether every property was written: false when the card was only looked at.
    bool wroteAll() const { return writing_; }

    // The card in the target version. FN and N when it lacks them come ahead of every other
    // property, so that a later line of the card still fills what it filled before; and a UID,
    // which address book servers require.
    QByteArray written() && {
        QByteArray required;
        if (!hasFormattedName_)
            appendRequired(required, propertyName(Rule::FormattedName), formattedName());
        // 4.0 does not require N, but a card that went through 3.0 has one: written in both,
        // the versions convert into each other unchanged.
        if (!hasName_)
            appendRequired(required, propertyName(Rule::Name), u";;;;", false);
        if (!hasUid_)
            appendRequired(required, kUidProperty, uniqueId());
        body_.insert(bodyStart_, required);
        body_.append(kEndCard.data(), kEndCard.size());
        return std::move(body_);
    }

private:
    QLatin1StringView targetVersion() const {
        return QLatin1StringView(target_ == CardVersion::V40 ? "4.0" : "3.0");
    }

    void takeLine() {
        if (!lines_.isProperty()) {
            goOn(lines_.text());
            return;
        }
        flush();
        const PropertyLine& line = lines_.property();
        const PropertyPieces pieces(line.part());
        plainForVersion_ &=
            !line.quotedPrintable() && !pieces.bareQuotedPrintable && line.charset().isEmpty();
        writeHead(pieces.head);
        // What reads back as BEGIN, VERSION or END is the card's frame: "x.\rEND", "\tEND" and
        // "END\t;X" too.
        if (isFrameProperty(asWritten(line.part(), scratch_)) || isFrameProperty(line_)) {
            takeFrame(line);
            return;
        }
        const QStringView name = nameOf(pieces.head);
        const bool isName = equalsIgnoringAsciiCase(name, propertyName(Rule::Name));
        const bool firstName = isName && !hasName_;
        hasName_ |= isName;
        hasFormattedName_ |= equalsIgnoringAsciiCase(name, propertyName(Rule::FormattedName));
        hasUid_ |= equalsIgnoringAsciiCase(name, kUidProperty);
        if (writing_)
            startProperty(line, pieces, name, firstName);
    }

    void takeFrame(const PropertyLine& line) {
        if (!version_.isEmpty() || !keyIs(line.part(), kVersionKey))
            return;
        version_ = trimBlanks(withoutLineEnd(line.value())).toString();
        if (mayBeAsRead_ && version_ == targetVersion())
            writing_ = false;
    }

    void startProperty(const PropertyLine& line, const PropertyPieces& pieces, QStringView name,
                       bool firstName) {
        Parameters parameters;
        for (const QStringView piece : pieces.parameters)
            takeParameter(parameters, piece);
        const ShownText decoded = decodedValue(line, pieces.bareQuotedPrintable);
        const QStringView text = decoded.view();
        QStringView mediaType;  // of data in a data: address
        QString cleanMediaType;
        QStringView data;
        value_.clear();
        raw_ = true;
        if (parameters.binary) {
            parameters.uri = false;  // data marked as an address too is still the data
            appendWithoutSpaces(value_.text(), text);
        } else if (takeDataAddress(text, mediaType, data)) {
            parameters.binary = true;
            parameters.uri = false;
            appendWithoutSpaces(value_.text(), data);
            // 3.0 writes the media type as a type word, which reads back trimmed, unquoted and
            // as a media type only when it names one.
            cleanMediaType = trimmedInOneLine(mediaType).toString().remove(u'"');
            cleanMediaType = mediaTypeOfWord(trimmedInOneLine(cleanMediaType)).value_or(QString());
            mediaType = cleanMediaType;
        } else if (parameters.uri) {
            appendAddress(value_.text(), text, parameters.contentId);
        } else {
            raw_ = false;
            if (lines_.syntax().escapes())
                readValue30(value_, text, valueShapeOf(name));
            else
                readValue21(value_, text, valueShapeOf(name));
        }
        writeLineHead(parameters, mediaType);
        pending_ = true;
        pendingIsFirstName_ = firstName;
        open_ = parameters.binary                                         ? Data
                : equalsIgnoringAsciiCase(name, propertyName(Rule::Note)) ? Note
                                                                          : None;
    }

    // Starts the line with the property's group and name as they are written.
    void writeHead(QStringView head) {
        line_.resize(0);
        line_.append(head);
        // A name is read trimmed: a line break at its end, made a blank, would not read back.
        asOneLine(line_);
        while (line_.endsWith(u' ') || line_.endsWith(u'\t'))
            line_.chop(1);
        // No version allows "=" in a name, and a name that held ENCODING=QUOTED-PRINTABLE would
        // have its value, written decoded, decoded once more.
        line_.replace(u'=', u'-');
    }

    // The line after its name, up to its value, and for binary data in 4.0 the start of its
    // data: address.
    void writeLineHead(const Parameters& parameters, QStringView mediaType) {
        appendTypes(line_, parameters, mediaType, target_);
        if (parameters.pref > 0 && (target_ == CardVersion::V40 || parameters.pref != 1))
            line_.append(QLatin1StringView(";PREF=")).append(QString::number(parameters.pref));
        for (const QStringView other : parameters.others) {
            line_.append(u';');
            appendBalanced(line_, other);
        }
        if (parameters.binary && target_ == CardVersion::V30)
            line_.append(u';').append(kEncodingB);
        if (parameters.uri)
            line_.append(QLatin1StringView(";VALUE=uri"));
        line_.append(u':');
        if (parameters.binary && target_ == CardVersion::V40) {
            line_.append(QLatin1StringView("data:")).append(mediaTypeFor(parameters, mediaType));
            line_.append(QLatin1StringView(";base64,"));
        }
    }

    void goOn(QStringView text) {
        if (open_ == None)
            return;
        if (isBlankLine(text))
            open_ = None;
        else if (open_ == Data)
            appendWithoutSpaces(value_.text(), text);
        else
            value_.text().append(u'\n').append(noteLineOf(text, lines_.syntax().escapes()));
    }

    // Writes the property read last, now that no further line goes on with it.
    void flush() {
        if (!pending_)
            return;
        pending_ = false;
        open_ = None;
        // An escaped value holds no line break.
        if (raw_) {
            line_.append(value_.text());
            asOneLine(line_);
        } else {
            asOneLine(line_);
            value_.appendEscapedTo(line_);
        }
        appendFoldedLine(body_, line_);
        // The first name is kept for the formatted name of a card that has none.
        if (pendingIsFirstName_)
            std::swap(value_, name_);
    }

    // The formatted name that the name gives: prefix, given, additional and family names,
    // suffix; empty when it holds no name, so that a card without one shows none either.
    QString formattedName() const {
        if (name_.component(0).isEmpty() && name_.component(1).isEmpty() &&
            name_.component(2).isEmpty())
            return QString();
        QStringList parts;
        for (const qsizetype i : {3, 1, 2, 0, 4}) {
            if (QString part = name_.component(i); !part.isEmpty())
                parts.append(std::move(part));
        }
        return parts.join(u' ');
    }

    // A UID made from the card's bytes: saved again unchanged, it names the same card, so a
    // server that keeps cards by their UID is not given a second copy.
    QString uniqueId() const {
        static const QUuid kNamespace =
            QUuid::fromString(u"{5b0c2a51-4f7e-4f6b-9d3e-7a1c0e2f9b64}");
        return QLatin1StringView("urn:uuid:") +
               QUuid::createUuidV5(kNamespace, card_.bytes()).toString(QUuid::WithoutBraces);
    }

    static void appendRequired(QByteArray& card, QLatin1StringView name, QStringView value,
                               bool escaped = true) {
        QString line = name + u':';
        if (escaped)
            appendEscaped(line, value);
        else
            line.append(value);
        appendFoldedLine(card, line);
    }

    enum Open { None, Data, Note };

    const CardBytes& card_;
    PropertyReader lines_;
    CardVersion target_;
    bool mayBeAsRead_;
    bool writing_ = true;
    QString version_;              // what its first VERSION line says
    bool plainForVersion_ = true;  // no CHARSET, no quoted-printable
    bool hasFormattedName_ = false;
    bool hasName_ = false;
    bool hasUid_ = false;
    // The property read last, written once no further line goes on with it: its line up to
    // the value, and the value, raw (binary data, an address) or to be escaped.
    bool pending_ = false;
    bool pendingIsFirstName_ = false;
    bool raw_ = false;
    Open open_ = None;
    QString line_;
    ItemValue value_;
    ItemValue name_;  // of the first N
    QString scratch_;
    QByteArray body_;          // the card's frame and every property line, written
    qsizetype bodyStart_ = 0;  // where its first property line starts
};

}  // namespace

CardBytes convertCard(const CardBytes& card, CardVersion target, Reporter& reporter) {
    if (target == CardVersion::V21)
        return card;
    static const QString kTag = convertTag();
    Guard g(reporter, kTag);
    std::optional<CardConverter> converter;
    const auto read = [&](int line, bool mayBeAsRead) {
        bool whole = false;
        g(line, [&] {
            converter.reset();
            converter.emplace(card, target, mayBeAsRead);
            converter->read();
            whole = true;
        });
        return whole;
    };
    if (!read(100, true))
        return card;
    bool asRead = false;
    g(102, [&] { asRead = converter->validAsRead(); });
    // ASCII reads the same in both encodings: a card written as read is UTF-8 too.
    if (asRead)
        return CardBytes(card.bytes(), CardEncoding::Utf8);
    if (!converter->wroteAll() && !read(104, false))
        return card;
    std::optional<CardBytes> converted;
    g(106, [&] { converted.emplace(std::move(*converter).written(), CardEncoding::Utf8); });
    return converted ? *converted : card;
}

}  // namespace pennacle
