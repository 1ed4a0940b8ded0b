#pragma once

#include "core/guard.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSslError>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;

namespace pennacle {

// A failure of the conversation with a server, by what the caller may do about it.
class DavFailure : public Failure {
public:
    enum class Kind {
        Network,       // no answer: refused, cut, timed out
        Unauthorized,  // 401: user name or password wrong
        Certificate,   // the server's certificate was not accepted
        Cancelled,     // the user stopped it
        Answer,        // an answer that the protocol does not allow here
    };
    DavFailure(Kind kind, QString description) : Failure(std::move(description)), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

struct DavRequest {
    QByteArray verb;  // GET, PUT, DELETE, PROPFIND, REPORT
    QUrl url;
    QByteArray body;   // XML for PROPFIND and REPORT, the card for PUT
    QByteArray depth;  // the Depth header; none when empty
    QList<std::pair<QByteArray, QByteArray>> headers;
};

struct DavReply {
    int status = 0;
    QByteArray body;
    QByteArray etag;  // the ETag header, when the answer has one
    QUrl url;         // where the answer came from, after redirects
};

// Whether to go on with a server whose certificate has these faults; asked once per
// connection that meets them.
using CertificateCheck = std::function<bool(const QUrl& url, const QList<QSslError>& errors)>;

// One account's HTTP conversation with a CardDAV server over Qt's network module. Each request
// waits for its answer in a local event loop, so callers read like straight code.
class DavClient {
public:
    DavClient(QString user, QString password);
    ~DavClient();
    DavClient(const DavClient&) = delete;
    DavClient& operator=(const DavClient&) = delete;

    // Sends one request, following up to five redirects with the same verb and body. Any
    // HTTP status comes back, except 401, which throws Unauthorized; no answer, a refused
    // certificate or cancel() throw too.
    DavReply send(const DavRequest& request);

    // Stops the request under way (from a progress call or another event); it throws
    // Cancelled, and so does every request until resetCancel().
    void cancel();
    void resetCancel() { cancelled_ = false; }
    bool isCancelled() const { return cancelled_; }

    // Without one, every certificate fault refuses the connection.
    void setCertificateCheck(CertificateCheck check) { certificateCheck_ = std::move(check); }
    // How long a request may stay without any data flowing.
    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    const QString& user() const { return user_; }
    // How many requests with this verb were sent (redirects included).
    int sentCount(const QByteArray& verb) const { return sent_.value(verb); }

private:
    DavReply sendOnce(const DavRequest& request);
    DavReply finish(QNetworkReply& reply, bool certificateRefused);

    QString user_;
    QByteArray authorization_;
    std::unique_ptr<QNetworkAccessManager> network_;
    QNetworkReply* running_ = nullptr;
    bool cancelled_ = false;
    int timeoutMs_ = 30000;
    CertificateCheck certificateCheck_;
    QHash<QByteArray, int> sent_;
};

}  // namespace pennacle
