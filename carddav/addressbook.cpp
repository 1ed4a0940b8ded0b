#include "carddav/addressbook.h"

#include "cards/cardidentity.h"
#include "cards/convert.h"

#include <QRegularExpression>
#include <QUuid>

#include <set>

namespace pennacle {

namespace {

// Cards per addressbook-multiget: few requests, answers of a few megabytes at most.
constexpr qsizetype kBatch = 250;

constexpr auto kXmlHead = R"(<?xml version="1.0" encoding="utf-8"?>)";

QByteArray escapedXml(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

DavReply expectMultistatus(DavClient& client, const DavRequest& request) {
    DavReply reply = client.send(request);
    if (reply.status != 207) {
        throw DavFailure(DavFailure::Kind::Answer,
                         QStringLiteral("%1 %2 answered %3 instead of a multistatus.")
                             .arg(QString::fromLatin1(request.verb),
                                  request.url.toDisplayString(QUrl::RemoveUserInfo))
                             .arg(reply.status));
    }
    return reply;
}

Multistatus propfind(DavClient& client, const QUrl& url, const QByteArray& depth,
                     const QByteArray& props) {
    const QByteArray body =
        QByteArray(kXmlHead) +
        R"(<D:propfind xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">)"
        "<D:prop>" +
        props + "</D:prop></D:propfind>";
    return parseMultistatus(expectMultistatus(client, {"PROPFIND", url, body, depth, {}}).body);
}

QUrl resolvedUrl(const QUrl& base, const QString& href) {
    return base.resolved(QUrl(href));
}

QUrl asCollection(QUrl url) {
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

QString lastPathPart(const QUrl& url) {
    const QStringList parts = url.path().split(u'/', Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.host() : parts.last();
}

// Where the principal's address books live: current-user-principal, then its home set.
QUrl homeSetOf(DavClient& client, const QUrl& start) {
    const Multistatus who = propfind(client, start, "0", "<D:current-user-principal/>");
    QUrl principal = start;
    for (const DavResponse& response : who.responses) {
        if (!response.principal.isEmpty())
            principal = resolvedUrl(start, response.principal);
    }
    const Multistatus home = propfind(client, principal, "0", "<C:addressbook-home-set/>");
    for (const DavResponse& response : home.responses) {
        if (!response.homeSet.isEmpty())
            return asCollection(resolvedUrl(principal, response.homeSet));
    }
    throw DavFailure(
        DavFailure::Kind::Answer,
        QStringLiteral("The server names no address book home for %1.").arg(client.user()));
}

QUrl wellKnownStart(DavClient& client, const QUrl& server) {
    QUrl wellKnown = server;
    wellKnown.setPath(QStringLiteral("/.well-known/carddav"));
    try {
        const DavReply reply =
            client.send({"PROPFIND",
                         wellKnown,
                         QByteArray(kXmlHead) + R"(<D:propfind xmlns:D="DAV:"><D:prop>)"
                                                "<D:current-user-principal/></D:prop></D:propfind>",
                         "0",
                         {}});
        if (reply.status == 207)
            return reply.url;
    } catch (const DavFailure& failure) {
        if (failure.kind() != DavFailure::Kind::Answer)
            throw;
    }
    return server;
}

QByteArray syncCollectionBody(const QString& token) {
    return QByteArray(kXmlHead) + R"(<D:sync-collection xmlns:D="DAV:"><D:sync-token>)" +
           escapedXml(token) +
           "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>"
           "</D:sync-collection>";
}

bool isMember(const QUrl& book, const QString& key) {
    return key != hrefKey(book, QString()) && !key.endsWith(u'/');
}

struct Listing {
    std::vector<QString> members;  // new or changed
    std::vector<QString> removed;
    QString syncToken;
};

Listing listingOf(const QUrl& book, const Multistatus& answer) {
    Listing listing;
    listing.syncToken = answer.syncToken;
    for (const DavResponse& response : answer.responses) {
        const QString key = hrefKey(book, response.href);
        if (!isMember(book, key))
            continue;
        if (response.status == 404)
            listing.removed.push_back(key);
        else if (!response.etag.isEmpty() || response.status / 100 == 2)
            listing.members.push_back(key);
    }
    return listing;
}

// The members by sync-collection; std::nullopt when the server refuses the token (403/409).
// A server without sync is listed by PROPFIND.
std::optional<Listing> listMembers(DavClient& client, const QUrl& book, const QString& token) {
    const DavReply reply = client.send({"REPORT", book, syncCollectionBody(token), "0", {}});
    if (reply.status == 207)
        return listingOf(book, parseMultistatus(reply.body));
    if (!token.isEmpty() && (reply.status == 403 || reply.status == 409))
        return std::nullopt;
    if (!token.isEmpty()) {
        throw DavFailure(DavFailure::Kind::Answer,
                         QStringLiteral("The server answered %1 to a refresh.").arg(reply.status));
    }
    return listingOf(book, propfind(client, book, "1", "<D:getetag/>"));
}

QByteArray multigetBody(const QUrl& book, const std::vector<QString>& keys, qsizetype first,
                        qsizetype count) {
    QByteArray body;
    body.reserve(200 + count * 80);
    body += kXmlHead;
    body += R"(<C:addressbook-multiget xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">)"
            "<D:prop><D:getetag/><C:address-data/></D:prop>";
    for (qsizetype i = first; i < first + count; ++i) {
        body += "<D:href>";
        body += escapedXml(cardUrl(book, keys[size_t(i)]).path(QUrl::FullyEncoded));
        body += "</D:href>";
    }
    body += "</C:addressbook-multiget>";
    return body;
}

void fetchCards(DavClient& client, const QUrl& book, const std::vector<QString>& keys,
                const DownloadProgress& progress, std::vector<ServerCard>& into) {
    const qsizetype total = qsizetype(keys.size());
    if (progress && !progress(0, total))
        client.cancel();
    for (qsizetype first = 0; first < total; first += kBatch) {
        const qsizetype count = std::min(kBatch, total - first);
        const Multistatus answer = parseMultistatus(
            expectMultistatus(client,
                              {"REPORT", book, multigetBody(book, keys, first, count), "1", {}})
                .body);
        for (const DavResponse& response : answer.responses) {
            if (response.hasAddressData)
                into.push_back({hrefKey(book, response.href), response.etag, response.addressData});
        }
        if (progress && !progress(first + count, total))
            client.cancel();
    }
    if (client.isCancelled())
        throw DavFailure(DavFailure::Kind::Cancelled, QStringLiteral("Stopped."));
}

bool isPlainUid(const QString& uid) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9@._-]{1,80}$"));
    return plain.match(uid).hasMatch();
}

}  // namespace

QString hrefKey(const QUrl& book, const QString& href) {
    return resolvedUrl(book, href).path(QUrl::FullyDecoded);
}

QUrl cardUrl(const QUrl& book, const QString& key) {
    QUrl url = book;
    url.setPath(key, QUrl::DecodedMode);
    return url;
}

std::vector<AddressBookInfo> discoverAddressBooks(DavClient& client, const QUrl& server) {
    const QUrl home = homeSetOf(client, wellKnownStart(client, server));
    const Multistatus listing = propfind(client, home, "1", "<D:resourcetype/><D:displayname/>");
    std::vector<AddressBookInfo> books;
    for (const DavResponse& response : listing.responses) {
        if (!response.isAddressBook)
            continue;
        const QUrl url = asCollection(resolvedUrl(home, response.href));
        books.push_back(
            {url, response.displayName.isEmpty() ? lastPathPart(url) : response.displayName});
    }
    return books;
}

QString addressBookName(DavClient& client, const QUrl& book) {
    const Multistatus answer = propfind(client, book, "0", "<D:displayname/>");
    for (const DavResponse& response : answer.responses) {
        if (!response.displayName.isEmpty())
            return response.displayName;
    }
    return lastPathPart(book);
}

Download downloadAll(DavClient& client, const QUrl& book, const DownloadProgress& progress) {
    client.resetCancel();
    const std::optional<Listing> listing = listMembers(client, book, QString());
    Download download;
    download.syncToken = listing->syncToken;
    download.cards.reserve(listing->members.size());
    fetchCards(client, book, listing->members, progress, download.cards);
    return download;
}

Download downloadChanges(DavClient& client, const QUrl& book, const QString& syncToken,
                         const DownloadProgress& progress) {
    client.resetCancel();
    if (syncToken.isEmpty())
        return downloadAll(client, book, progress);
    const std::optional<Listing> listing = listMembers(client, book, syncToken);
    if (!listing)
        return downloadAll(client, book, progress);
    Download download;
    download.full = false;
    download.syncToken = listing->syncToken;
    download.removed = listing->removed;
    fetchCards(client, book, listing->members, progress, download.cards);
    return download;
}

CardBytes cardForUpload(const CardBytes& card, bool version40, Reporter& reporter) {
    return convertCard(card, version40 ? CardVersion::V40 : CardVersion::V30, reporter);
}

QString newHref(const QUrl& book, const QString& uid) {
    const QString name = isPlainUid(uid) ? uid : QUuid::createUuid().toString(QUuid::WithoutBraces);
    return hrefKey(asCollection(book), name + QStringLiteral(".vcf"));
}

std::vector<Upload> planUploads(std::span<const ContactEntry> rows, const BookState& book,
                                Reporter& reporter) {
    std::vector<Upload> uploads;
    std::set<QString> held;
    for (qsizetype row = 0; row < qsizetype(rows.size()); ++row) {
        const ContactEntry& entry = rows[size_t(row)];
        const auto known = book.cards.find(entry.serverHref);
        // A second row with the same href (a copy) is a card of its own.
        if (known != book.cards.end() && held.insert(entry.serverHref).second) {
            if (cardHash(entry.card) != known->second.baseHash) {
                uploads.push_back({Upload::Kind::Update, row, entry.serverHref, known->second.etag,
                                   cardForUpload(entry.card, known->second.version40, reporter)});
            }
            continue;
        }
        QString uid = uidOf(entry.card);
        CardBytes card = entry.card;
        if (uid.isEmpty() || !entry.serverHref.isEmpty()) {
            // A copy of a server card must not take its original's UID along.
            uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
            card = withNewUid(card, uid);
        }
        uploads.push_back({Upload::Kind::Create, row, newHref(book.url, uid), QByteArray(),
                           cardForUpload(card, false, reporter)});
    }
    for (const auto& [href, known] : book.cards) {
        if (!held.count(href))
            uploads.push_back({Upload::Kind::Delete, -1, href, known.etag, CardBytes()});
    }
    return uploads;
}

UploadResult sendUpload(DavClient& client, const QUrl& book, const Upload& upload) {
    DavRequest request;
    request.url = cardUrl(book, upload.href);
    if (upload.kind == Upload::Kind::Delete) {
        request.verb = "DELETE";
    } else {
        request.verb = "PUT";
        request.body = upload.card.encoding() == CardEncoding::Utf8 ? upload.card.bytes()
                                                                    : upload.card.text().toUtf8();
    }
    if (upload.kind == Upload::Kind::Create)
        request.headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
    else if (!upload.etag.isEmpty())
        request.headers.append(std::pair<QByteArray, QByteArray>("If-Match", upload.etag));
    const DavReply reply = client.send(request);
    UploadResult result;
    result.etag = reply.etag;
    if (reply.status == 412) {
        result.outcome = UploadResult::Outcome::Conflict;
        result.message = QStringLiteral("Someone changed %1 on the server since.").arg(upload.href);
    } else if (reply.status / 100 != 2 &&
               !(upload.kind == Upload::Kind::Delete && reply.status == 404)) {
        result.outcome = UploadResult::Outcome::Failed;
        result.message = QStringLiteral("The server refused %1 %2 (%3): %4")
                             .arg(QString::fromLatin1(request.verb), upload.href)
                             .arg(reply.status)
                             .arg(QString::fromUtf8(reply.body.left(300)));
    }
    if (result.outcome == UploadResult::Outcome::Done && request.verb == "PUT" &&
        result.etag.isEmpty()) {
        // Without the new ETag the next save could not guard the card against others' edits.
        for (const DavResponse& response :
             propfind(client, request.url, "0", "<D:getetag/>").responses)
            result.etag = response.etag;
    }
    return result;
}

std::optional<RowHref> recordUpload(BookState& book, std::span<const ContactEntry> rows,
                                    const Upload& upload, const QByteArray& etag) {
    if (upload.kind == Upload::Kind::Delete) {
        book.cards.erase(upload.href);
        return std::nullopt;
    }
    KnownCard& known = book.cards[upload.href];
    known.etag = etag;
    known.baseHash = cardHash(entryAt(rows, upload.row).card);
    if (upload.kind != Upload::Kind::Create)
        return std::nullopt;
    known.version40 = false;
    return RowHref{upload.row, upload.href};
}

std::optional<ServerCard> fetchCard(DavClient& client, const QUrl& book, const QString& href) {
    std::vector<ServerCard> cards;
    fetchCards(client, book, {href}, {}, cards);
    if (cards.empty())
        return std::nullopt;
    return cards.front();
}

}  // namespace pennacle
