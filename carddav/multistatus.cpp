#include "carddav/multistatus.h"

#include "core/guard.h"

#include <QXmlStreamReader>

namespace pennacle {

namespace {

constexpr QStringView kDav = u"DAV:";
constexpr QStringView kCardDav = u"urn:ietf:params:xml:ns:carddav";

bool is(const QXmlStreamReader& reader, QStringView ns, QStringView name) {
    return reader.namespaceUri() == ns && reader.name() == name;
}

QString textOf(QXmlStreamReader& reader) {
    return reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

// The text of the first DAV:href inside the current element; the element is consumed.
QString hrefInside(QXmlStreamReader& reader) {
    QString href;
    while (reader.readNextStartElement()) {
        if (href.isEmpty() && is(reader, kDav, u"href"))
            href = textOf(reader);
        else
            reader.skipCurrentElement();
    }
    return href;
}

bool holdsAddressBookType(QXmlStreamReader& reader) {
    bool found = false;
    while (reader.readNextStartElement()) {
        found = found || is(reader, kCardDav, u"addressbook");
        reader.skipCurrentElement();
    }
    return found;
}

void readProperty(QXmlStreamReader& reader, DavResponse& into) {
    if (is(reader, kDav, u"getetag")) {
        into.etag = textOf(reader).toUtf8();
    } else if (is(reader, kCardDav, u"address-data")) {
        // Not trimmed: the card's bytes stay as the server sent them.
        into.addressData = reader.readElementText(QXmlStreamReader::SkipChildElements).toUtf8();
        into.hasAddressData = true;
    } else if (is(reader, kDav, u"displayname")) {
        into.displayName = textOf(reader);
    } else if (is(reader, kDav, u"resourcetype")) {
        into.isAddressBook = holdsAddressBookType(reader);
    } else if (is(reader, kDav, u"current-user-principal")) {
        into.principal = hrefInside(reader);
    } else if (is(reader, kCardDav, u"addressbook-home-set")) {
        into.homeSet = hrefInside(reader);
    } else {
        reader.skipCurrentElement();
    }
}

void takeProperties(DavResponse& into, DavResponse&& from) {
    if (!from.etag.isEmpty())
        into.etag = std::move(from.etag);
    if (from.hasAddressData) {
        into.addressData = std::move(from.addressData);
        into.hasAddressData = true;
    }
    if (!from.displayName.isEmpty())
        into.displayName = std::move(from.displayName);
    into.isAddressBook = into.isAddressBook || from.isAddressBook;
    if (!from.principal.isEmpty())
        into.principal = std::move(from.principal);
    if (!from.homeSet.isEmpty())
        into.homeSet = std::move(from.homeSet);
}

// A propstat: its properties count only under a 2xx status (a propstat without a status is
// taken as successful, as lenient servers write it).
void readPropstat(QXmlStreamReader& reader, DavResponse& into) {
    DavResponse found;
    int status = 200;
    while (reader.readNextStartElement()) {
        if (is(reader, kDav, u"prop")) {
            while (reader.readNextStartElement())
                readProperty(reader, found);
        } else if (is(reader, kDav, u"status")) {
            status = statusOfLine(textOf(reader));
        } else {
            reader.skipCurrentElement();
        }
    }
    if (status >= 200 && status < 300)
        takeProperties(into, std::move(found));
}

DavResponse readResponse(QXmlStreamReader& reader) {
    DavResponse response;
    while (reader.readNextStartElement()) {
        if (is(reader, kDav, u"href") && response.href.isEmpty())
            response.href = textOf(reader);
        else if (is(reader, kDav, u"status"))
            response.status = statusOfLine(textOf(reader));
        else if (is(reader, kDav, u"propstat"))
            readPropstat(reader, response);
        else
            reader.skipCurrentElement();
    }
    return response;
}

}  // namespace

int statusOfLine(QStringView line) {
    const qsizetype space = line.indexOf(u' ');
    if (space < 0)
        return 0;
    QStringView rest = line.mid(space + 1).trimmed();
    const qsizetype end = rest.indexOf(u' ');
    bool ok = false;
    const int status = (end < 0 ? rest : rest.left(end)).toInt(&ok);
    return ok && status >= 100 && status <= 999 ? status : 0;
}

Multistatus parseMultistatus(QByteArrayView xml) {
    QXmlStreamReader reader(xml.toByteArray());
    Multistatus answer;
    if (!reader.readNextStartElement() || !is(reader, kDav, u"multistatus")) {
        if (!reader.hasError())
            throw Failure(QStringLiteral("The server's answer is no WebDAV multistatus."));
    } else {
        while (reader.readNextStartElement()) {
            if (is(reader, kDav, u"response"))
                answer.responses.push_back(readResponse(reader));
            else if (is(reader, kDav, u"sync-token"))
                answer.syncToken = textOf(reader);
            else
                reader.skipCurrentElement();
        }
    }
    // The rest must be well-formed too: a cut answer is no answer.
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError()) {
        throw Failure(QStringLiteral("The server's answer is malformed XML (line %1): %2")
                          .arg(reader.lineNumber())
                          .arg(reader.errorString()));
    }
    return answer;
}

}  // namespace pennacle
