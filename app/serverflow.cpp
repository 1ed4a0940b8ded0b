#include "app/serverflow.h"

#include "carddav/booksync.h"
#include "cards/cardidentity.h"

#include <QCryptographicHash>
#include <QSslCertificate>
#include <QUuid>

namespace pennacle {

namespace {

const QString kAddressKey = QStringLiteral("ServerAddress");
const QString kUserKey = QStringLiteral("ServerUser");
const QString kRememberKey = QStringLiteral("ServerRemember");
const QString kBookKey = QStringLiteral("ServerBook");

QString fingerprintOf(const QSslCertificate& certificate) {
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':'));
}

QString certificateKey(const QUrl& url) {
    return QStringLiteral("ServerCertificate_%1_%2").arg(url.host()).arg(url.port(443));
}

QUrl serverUrl(const QString& address) {
    QUrl url = QUrl::fromUserInput(address);
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

// The list takes what a refresh changes through its own methods, so that its views hear of
// every row: the removals, the new cards, then the new rows in one batch.
void takeRefresh(ContactList& contacts, RefreshOutcome& refresh) {
    for (const qsizetype row : refresh.rowsToRemove)
        contacts.remove(row);
    for (CardReplacement& replacement : refresh.cardsToReplace)
        contacts.setCard(replacement.row, std::move(replacement.card), std::move(replacement.Text));
    contacts.append(std::move(refresh.rowsToAppend));
}

}  // namespace

ServerFlow::ServerFlow(Window window) : window_(std::move(window)) {}

ServerFlow::~ServerFlow() = default;

QString ServerFlow::secretKey() const {
    return QStringLiteral("%1@%2").arg(window_.context.settings.ReadSetting(kUserKey, QString()),
                                       server_.toString());
}

bool ServerFlow::acceptCertificate(const QUrl& url, const QList<QSslError>& errors) {
    const QSslCertificate certificate =
        errors.isEmpty() ? QSslCertificate() : errors.first().certificate();
    const QString fingerprint = fingerprintOf(certificate);
    SettingsStore& settings = window_.context.settings;
    if (!certificate.isNull() &&
        settings.ReadSetting(certificateKey(url), QString()) == fingerprint)
        return true;
    QStringList problems;
    for (const QSslError& error : errors)
        problems << QStringLiteral("- ") + error.errorString();
    const bool accepted = window_.context.dialogs.askYesNoRisky(
        window_.context.appTitle,
        QStringLiteral("The certificate of %1 cannot be trusted:\n%2\n\nFingerprint (SHA-256): "
                       "%3\n\nAccept it for this server and go on?")
            .arg(url.host(), problems.join(u'\n'), fingerprint));
    if (accepted && !certificate.isNull())
        settings.WriteSetting(certificateKey(url), fingerprint);
    return accepted;
}

void ServerFlow::storeLogin(const Dialogs::ServerLogin& login) {
    SettingsStore& settings = window_.context.settings;
    settings.WriteSetting(kAddressKey, login.address);
    settings.WriteSetting(kUserKey, login.user);
    settings.WriteSetting(kRememberKey, boolToSetting(login.remember));
    server_ = serverUrl(login.address);
    password_ = login.password;
    if (login.remember)
        window_.secrets.writeSecret(secretKey(), login.password);
    else
        window_.secrets.removeSecret(secretKey());
}

// Asks for the server and the account (the password filled in when it is remembered or known
// from this run) and makes the client; false on Cancel.
bool ServerFlow::logIn(bool askFirst) {
    SettingsStore& settings = window_.context.settings;
    Dialogs::ServerLogin start{settings.ReadSetting(kAddressKey, QString()),
                               settings.ReadSetting(kUserKey, QString()), password_,
                               settingToBool(settings.ReadSetting(kRememberKey, "False"))};
    if (!start.address.isEmpty())
        server_ = serverUrl(start.address);
    if (start.password.isEmpty() && start.remember)
        start.password = window_.secrets.readSecret(secretKey()).value_or(QString());
    if (askFirst || start.password.isEmpty() || start.address.isEmpty()) {
        const std::optional<Dialogs::ServerLogin> login =
            window_.context.dialogs.askServerLogin(window_.context.appTitle, start);
        if (!login)
            return false;
        storeLogin(*login);
        start = *login;
    }
    client_ = std::make_unique<DavClient>(start.user, start.password);
    client_->setCertificateCheck([this](const QUrl& url, const QList<QSslError>& errors) {
        return acceptCertificate(url, errors);
    });
    return true;
}

std::optional<AddressBookInfo> ServerFlow::chooseBook() {
    const std::vector<AddressBookInfo> books = discoverAddressBooks(*client_, server_);
    if (books.empty()) {
        window_.context.dialogs.message(
            window_.context.appTitle,
            QStringLiteral("The server has no address book for %1.").arg(client_->user()));
        return std::nullopt;
    }
    if (books.size() == 1)
        return books.front();
    QStringList names;
    for (const AddressBookInfo& book : books)
        names << book.name;
    const int chosen = window_.context.dialogs.chooseItem(window_.context.appTitle,
                                                          QStringLiteral("Address book:"), names);
    if (chosen < 0)
        return std::nullopt;
    return books[size_t(chosen)];
}

bool ServerFlow::download(const AddressBookInfo& chosen) {
    BookState book{chosen.url, chosen.name, QString(), {}};
    const std::unique_ptr<Progress> progress =
        window_.progress(QStringLiteral("Downloading %1...").arg(chosen.name));
    Download download;
    try {
        download = downloadAll(*client_, chosen.url, [&](qsizetype done, qsizetype total) {
            return progress->update(done, total);
        });
    } catch (const DavFailure& failure) {
        if (failure.kind() == DavFailure::Kind::Cancelled)
            return false;
        throw;
    }
    book.syncToken = download.syncToken;
    std::vector<ContactEntry> entries =
        takeDownload(download.cards, book, window_.context.reporter);
    // Only a complete download replaces the list: a failure above leaves it as it was.
    window_.undo.reset();
    window_.contacts.clear();
    window_.contacts.append(std::move(entries));
    book_ = std::move(book);
    window_.context.settings.WriteSetting(kBookKey, chosen.url.toString());
    window_.matchesServer(book_->name);
    window_.showContact(0);
    return true;
}

void ServerFlow::open() {
    Guard g(window_.context.reporter, windowTag("OpenServerBook"));
    bool proceed = true;
    g(100, [&] {
        if (window_.unsaved() && !window_.contacts.isEmpty())
            proceed = window_.context.dialogs.askYesNoRisky(
                window_.context.appTitle,
                QStringLiteral("The list holds unsaved changes. Replace it with an address book "
                               "from a server anyway?"));
    });
    if (!proceed)
        return;
    bool askFirst = true;
    for (;;) {
        bool loggedIn = false;
        g(102, [&] { loggedIn = logIn(askFirst); });
        if (!loggedIn)
            return;
        bool retry = false;
        g(104, [&] {
            try {
                if (const std::optional<AddressBookInfo> chosen = chooseBook())
                    download(*chosen);
            } catch (const DavFailure& failure) {
                if (failure.kind() != DavFailure::Kind::Unauthorized)
                    throw;
                window_.context.dialogs.warning(window_.context.appTitle, failure.description());
                password_.clear();
                retry = true;
            }
        });
        if (!retry)
            return;
        askFirst = true;
    }
}

bool ServerFlow::save() {
    if (!book_)
        return false;
    Guard g(window_.context.reporter, windowTag("SaveToServer"));
    bool saved = false;
    g(100, [&] {
        if (!client_ && !logIn(false))
            return;
        std::vector<Upload> uploads = planAll();
        if (!deletionsConfirmed(uploads))
            return;
        saved = uploadAll(std::move(uploads));
    });
    if (saved)
        g(102, [&] {
            window_.undo.setClean();
            window_.matchesServer(book_->name);
        });
    return saved;
}

// A contact deleted here is deleted on the server, and for every program that shares the book:
// after Clear List that would be all of them. Asked once, before anything is sent.
bool ServerFlow::deletionsConfirmed(const std::vector<Upload>& uploads) {
    const auto deletions = std::count_if(uploads.begin(), uploads.end(), [](const Upload& u) {
        return u.kind == Upload::Kind::Delete;
    });
    if (deletions == 0)
        return true;
    const QString contacts =
        deletions == 1 ? QStringLiteral("1 contact") : QStringLiteral("%1 contacts").arg(deletions);
    return window_.context.dialogs.askYesNoRisky(
        window_.context.appTitle,
        QStringLiteral("Saving deletes %1 from \"%2\" on the server. Save anyway?")
            .arg(contacts, book_->name));
}

bool ServerFlow::uploadAll(std::vector<Upload> uploads) {
    bool all = true;
    const std::unique_ptr<Progress> progress =
        window_.progress(QStringLiteral("Saving to the server..."));
    qsizetype done = 0;
    for (const Upload& upload : uploads) {
        if (!progress->update(done++, qsizetype(uploads.size())))
            return false;
        const UploadResult result = sendUpload(*client_, book_->url, upload);
        if (result.outcome == UploadResult::Outcome::Done)
            recordDone(upload, result.etag);
        else if (result.outcome == UploadResult::Outcome::Conflict)
            all = resolveConflict(upload) && all;
        else
            throw Failure(result.message);
    }
    return all;
}

// Never overwrites silently: the user chooses; closing the box leaves both sides as they are.
bool ServerFlow::resolveConflict(const Upload& upload) {
    const std::optional<ServerCard> theirs = fetchCard(*client_, book_->url, upload.href);
    const QString what = upload.row >= 0 ? window_.contacts.at(upload.row).Text : upload.href;
    const QString text =
        theirs ? QStringLiteral("Someone changed \"%1\" on the server since you downloaded it.")
                     .arg(what)
               : QStringLiteral("Someone removed \"%1\" from the server since you downloaded it.")
                     .arg(what);
    const int choice = window_.context.dialogs.askChoice(
        window_.context.appTitle, text,
        {QStringLiteral("Keep Mine"), QStringLiteral("Take the Server's"),
         QStringLiteral("Keep Both")});
    switch (choice) {
        case 0:
            keepMine(upload, theirs);
            return true;
        case 1:
            takeTheirs(upload, theirs, upload.row < 0);
            return true;
        case 2:
            if (upload.row >= 0) {
                // Mine becomes a card of its own (a new UID), theirs comes in beside it.
                const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
                window_.contacts.setCard(upload.row,
                                         withNewUid(window_.contacts.at(upload.row).card, uid));
                window_.contacts.setServerHref(upload.row, QString());
                book_->cards.erase(upload.href);
                const std::vector<Upload> mine = planAll();
                for (const Upload& create : mine) {
                    if (create.row == upload.row)
                        keepMine(create, std::nullopt);
                }
            }
            takeTheirs(upload, theirs, true);
            return true;
        default:
            return false;
    }
}

void ServerFlow::keepMine(const Upload& upload, const std::optional<ServerCard>& theirs) {
    Upload again = upload;
    if (upload.kind != Upload::Kind::Delete) {
        again.kind = theirs ? Upload::Kind::Update : Upload::Kind::Create;
        again.etag = theirs ? theirs->etag : QByteArray();
    } else if (!theirs) {
        book_->cards.erase(upload.href);
        return;
    } else {
        again.etag = theirs->etag;
    }
    const UploadResult result = sendUpload(*client_, book_->url, again);
    if (result.outcome != UploadResult::Outcome::Done)
        throw Failure(result.message);
    recordDone(again, result.etag);
}

void ServerFlow::recordDone(const Upload& upload, const QByteArray& etag) {
    if (const std::optional<RowHref> created =
            recordUpload(*book_, window_.contacts.entries(), upload, etag))
        window_.contacts.setServerHref(created->row, created->href);
}

std::vector<Upload> ServerFlow::planAll() {
    return planUploads(window_.contacts.entries(), *book_, window_.context.reporter);
}

void ServerFlow::takeTheirs(const Upload& upload, const std::optional<ServerCard>& theirs,
                            bool asNewRow) {
    if (!theirs) {
        book_->cards.erase(upload.href);
        if (!asNewRow && upload.row >= 0)
            window_.contacts.setServerHref(upload.row, QString());
        return;
    }
    std::vector<ContactEntry> entries = takeDownload({*theirs}, *book_, window_.context.reporter);
    if (entries.empty())
        return;
    if (asNewRow)
        window_.contacts.append(std::move(entries));
    else
        window_.contacts.setCard(upload.row, entries.front().card, entries.front().Text);
    window_.showContact(-1);
}

void ServerFlow::refresh() {
    if (!book_)
        return;
    Guard g(window_.context.reporter, windowTag("RefreshFromServer"));
    g(100, [&] {
        if (!client_ && !logIn(false))
            return;
        const std::unique_ptr<Progress> progress =
            window_.progress(QStringLiteral("Refreshing %1...").arg(book_->name));
        const Download changes = downloadChanges(
            *client_, book_->url, book_->syncToken,
            [&](qsizetype done, qsizetype total) { return progress->update(done, total); });
        // Rows come and go outside the steps to undo: those steps would name the wrong rows.
        window_.undo.reset();
        RefreshOutcome refreshed =
            applyRefresh(changes, window_.contacts.entries(), *book_, window_.context.reporter);
        takeRefresh(window_.contacts, refreshed);
        afterListChange();
    });
}

void ServerFlow::afterListChange() {
    const bool edited = !planAll().empty();
    window_.matchesServer(book_->name);
    window_.setUnsaved(edited);
    window_.showContact(-1);
}

}  // namespace pennacle
