#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace pennacle {

// One response of a WebDAV multistatus answer, with the properties that its successful
// propstats hold (properties under a failing status are left out).
struct DavResponse {
    QString href;     // as the server wrote it
    int status = 0;   // the response's own status (sync-collection: 404 for removed); 0 if none
    QByteArray etag;  // getetag
    QByteArray addressData;  // the card (UTF-8), when address-data was asked for
    bool hasAddressData = false;
    QString displayName;
    bool isAddressBook = false;  // resourcetype holds the address book type
    QString principal;           // current-user-principal's href
    QString homeSet;             // addressbook-home-set's (first) href
};

struct Multistatus {
    std::vector<DavResponse> responses;
    QString syncToken;  // the answer's own sync-token (sync-collection)
};

// Reads a multistatus answer. Throws Failure when the text is not well-formed XML or is no
// multistatus.
Multistatus parseMultistatus(QByteArrayView xml);

// The status number of an HTTP status line ("HTTP/1.1 404 Not Found" gives 404); 0 when the
// line holds none.
int statusOfLine(QStringView line);

}  // namespace pennacle
