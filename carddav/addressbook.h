#pragma once

#include "carddav/davclient.h"
#include "carddav/multistatus.h"
#include "core/cardbytes.h"
#include "core/contactentry.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace pennacle {

struct AddressBookInfo {
    QUrl url;      // the collection, ending in "/"
    QString name;  // its display name, or the last part of its path
};

// The address books of the account: /.well-known/carddav on the server's address, then
// current-user-principal, addressbook-home-set, and the collections of the address book type
// there. When the well-known address leads nowhere the address itself is asked. Throws
// DavFailure or Failure.
std::vector<AddressBookInfo> discoverAddressBooks(DavClient& client, const QUrl& server);

// The address book's display name (the last part of its path when it has none).
QString addressBookName(DavClient& client, const QUrl& book);

// The key of a card on the server: its path, decoded, resolved against the address book.
QString hrefKey(const QUrl& book, const QString& href);
// The card's address from its key.
QUrl cardUrl(const QUrl& book, const QString& key);

struct ServerCard {
    QString href;  // hrefKey
    QByteArray etag;
    QByteArray data;  // the card as the server sent it
};

struct Download {
    std::vector<ServerCard> cards;  // new or changed (all of them after a full download)
    std::vector<QString> removed;   // hrefs gone since the token (only after a refresh)
    QString syncToken;              // empty when the server keeps none
    bool full = true;               // every card of the book, not just what changed
};

// Told after each batch how many of how many cards have come; false stops the download,
// which then throws Cancelled.
using DownloadProgress = std::function<bool(qsizetype done, qsizetype total)>;

// Every card of the address book: its members by sync-collection (PROPFIND where the server
// has no sync), then their cards by addressbook-multiget in batches.
Download downloadAll(DavClient& client, const QUrl& book, const DownloadProgress& progress = {});

// What changed since `syncToken`. A token the server no longer knows (403, or 409 from some
// servers) falls back to downloadAll, which says so with `full`.
Download downloadChanges(DavClient& client, const QUrl& book, const QString& syncToken,
                         const DownloadProgress& progress = {});

// What the program knows of a card on the server since it was last downloaded or uploaded.
struct KnownCard {
    QByteArray etag;
    QByteArray baseHash;     // cardHash of the card as the list held it then
    bool version40 = false;  // sent as 4.0: it goes back as 4.0
};

// An address book as the list holds it: where it is and what is known of its cards.
struct BookState {
    QUrl url;
    QString name;
    QString syncToken;
    std::map<QString, KnownCard> cards;  // by hrefKey
};

// One upload that a save to the server makes.
struct Upload {
    enum class Kind { Update, Create, Delete };
    Kind kind = Kind::Update;
    qsizetype row = -1;  // the list's row (none for Delete)
    QString href;        // hrefKey of the card on the server
    QByteArray etag;     // If-Match for Update and Delete
    CardBytes card;      // what goes up: converted, with a UID (none for Delete)
};

// What must go up so that the server holds what the rows hold: rows whose card differs from
// what was known (Update), rows that the server has not got (Create: a UID added when
// missing, a new href), known cards no row holds any more (Delete). Untouched cards are never
// uploaded.
std::vector<Upload> planUploads(std::span<const ContactEntry> rows, const BookState& book,
                                Reporter& reporter);

// The card as it goes up: vCard 3.0, or 4.0 when the server sent it as 4.0.
CardBytes cardForUpload(const CardBytes& card, bool version40, Reporter& reporter);

// A free href for a new card with this UID.
QString newHref(const QUrl& book, const QString& uid);

struct UploadResult {
    enum class Outcome { Done, Conflict, Failed };
    Outcome outcome = Outcome::Done;
    QByteArray etag;  // the card's ETag on the server after a PUT (may be empty)
    QString message;  // for Conflict and Failed
};

// Sends one upload: PUT with If-Match or If-None-Match: *, or DELETE with If-Match. A 412 is
// a Conflict; no answer throws (DavFailure), any other refusal is Failed.
UploadResult sendUpload(DavClient& client, const QUrl& book, const Upload& upload);

// Where a row's card lives on the server from now on.
struct RowHref {
    qsizetype row = -1;
    QString href;
};

// Takes a successful upload into the state: the card's new ETag and base, a deleted card out.
// For a new card, the href that its row must hold from now on.
[[nodiscard]] std::optional<RowHref> recordUpload(BookState& book,
                                                  std::span<const ContactEntry> rows,
                                                  const Upload& upload, const QByteArray& etag);

// The card on the server now; none when it is gone. Throws on failure.
std::optional<ServerCard> fetchCard(DavClient& client, const QUrl& book, const QString& href);

}  // namespace pennacle
