#include "carddav/davclient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>

namespace pennacle {

namespace {

constexpr int kMostRedirects = 5;

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QNetworkRequest networkRequest(const DavRequest& request, const QByteArray& authorization,
                               int timeoutMs) {
    QNetworkRequest out(request.url);
    out.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::ManualRedirectPolicy);
    out.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    out.setTransferTimeout(timeoutMs);
    out.setRawHeader("Authorization", authorization);
    if (!request.depth.isEmpty())
        out.setRawHeader("Depth", request.depth);
    if (!request.body.isEmpty()) {
        const bool card = request.verb == "PUT";
        out.setHeader(QNetworkRequest::ContentTypeHeader,
                      card ? QByteArray("text/vcard; charset=utf-8")
                           : QByteArray("application/xml; charset=utf-8"));
    }
    for (const auto& [name, value] : request.headers)
        out.setRawHeader(name, value);
    return out;
}

QString describeErrors(const QList<QSslError>& errors) {
    QStringList texts;
    for (const QSslError& error : errors)
        texts << error.errorString();
    return texts.join(QStringLiteral("; "));
}

}  // namespace

DavClient::DavClient(QString user, QString password)
    : user_(std::move(user)),
      authorization_("Basic " + (user_ + u':' + password).toUtf8().toBase64()),
      network_(std::make_unique<QNetworkAccessManager>()) {}

DavClient::~DavClient() = default;

void DavClient::cancel() {
    cancelled_ = true;
    if (running_)
        running_->abort();
}

DavReply DavClient::send(const DavRequest& request) {
    DavRequest current = request;
    for (int hop = 0;; ++hop) {
        DavReply reply = sendOnce(current);
        if (!isRedirect(reply.status) || hop == kMostRedirects)
            return reply;
        // The redirect's target sits in the answer's url by sendOnce.
        current.url = reply.url;
    }
}

DavReply DavClient::sendOnce(const DavRequest& request) {
    if (cancelled_)
        throw DavFailure(DavFailure::Kind::Cancelled, QStringLiteral("Stopped."));
    const QNetworkRequest out = networkRequest(request, authorization_, timeoutMs_);
    ++sent_[request.verb];
    std::unique_ptr<QNetworkReply> reply(
        network_->sendCustomRequest(out, request.verb, request.body));
    bool refused = false;
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(),
                     [&](const QList<QSslError>& errors) {
                         if (certificateCheck_ && certificateCheck_(request.url, errors)) {
                             reply->ignoreSslErrors(errors);
                         } else {
                             refused = true;
                             reply->setProperty("certificateErrors", describeErrors(errors));
                         }
                     });
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    running_ = reply.get();
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    running_ = nullptr;
    return finish(*reply, refused);
}

DavReply DavClient::finish(QNetworkReply& reply, bool certificateRefused) {
    if (cancelled_)
        throw DavFailure(DavFailure::Kind::Cancelled, QStringLiteral("Stopped."));
    if (certificateRefused) {
        throw DavFailure(
            DavFailure::Kind::Certificate,
            QStringLiteral("The certificate of %1 is not trusted: %2")
                .arg(reply.url().host(), reply.property("certificateErrors").toString()));
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        throw DavFailure(
            DavFailure::Kind::Network,
            QStringLiteral("No answer from %1: %2")
                .arg(reply.url().toDisplayString(QUrl::RemoveUserInfo), reply.errorString()));
    }
    DavReply out;
    out.status = status.toInt();
    if (out.status == 401) {
        throw DavFailure(DavFailure::Kind::Unauthorized,
                         QStringLiteral("The server refused user name or password (401)."));
    }
    // A reply cut off in the middle has a status but not all of its body.
    if (reply.error() == QNetworkReply::RemoteHostClosedError ||
        reply.error() == QNetworkReply::OperationCanceledError ||
        reply.error() == QNetworkReply::TimeoutError) {
        throw DavFailure(
            DavFailure::Kind::Network,
            QStringLiteral("The answer of %1 broke off: %2")
                .arg(reply.url().toDisplayString(QUrl::RemoveUserInfo), reply.errorString()));
    }
    out.body = reply.readAll();
    out.etag = reply.rawHeader("ETag");
    out.url = reply.url();
    if (isRedirect(out.status))
        out.url = reply.url().resolved(QUrl(QString::fromUtf8(reply.rawHeader("Location"))));
    return out;
}

}  // namespace pennacle
