#pragma once

#include "app/flowcontext.h"
#include "app/undoflow.h"
#include "carddav/addressbook.h"
#include "contacts/contactlist.h"
#include "core/secretstore.h"

#include <functional>
#include <memory>
#include <optional>

namespace pennacle {

// An address book on a CardDAV server as the list's source: open it (log in, find the books,
// download every card), save what changed back, and bring in what changed there.
class ServerFlow {
public:
    struct Window {
        FlowContext context;
        ContactList& contacts;
        UndoFlow& undo;
        SecretStore& secrets;
        StartProgress progress;
        // The list now holds the book `name` as the server has it, or after a save as it
        // left it: nothing unsaved.
        std::function<void(const QString& name)> matchesServer;
        std::function<void(bool unsaved)> setUnsaved;
        std::function<bool()> unsaved;
        std::function<void(qsizetype row)> showContact;
    };

    explicit ServerFlow(Window window);
    ~ServerFlow();

    bool isOpen() const { return book_.has_value(); }

    // "Open Address Book on Server...": the list is replaced by the chosen book.
    void open();
    // "Save to Server": uploads only what changed; true when everything went up.
    bool save();
    // "Refresh": what changed on the server since the last sync.
    void refresh();

private:
    struct Session;

    bool logIn(bool askFirst);
    std::optional<AddressBookInfo> chooseBook();
    bool download(const AddressBookInfo& chosen);
    bool deletionsConfirmed(const std::vector<Upload>& uploads);
    bool uploadAll(std::vector<Upload> uploads);
    bool resolveConflict(const Upload& upload);
    void keepMine(const Upload& upload, const std::optional<ServerCard>& theirs);
    void takeTheirs(const Upload& upload, const std::optional<ServerCard>& theirs, bool asNewRow);
    void recordDone(const Upload& upload, const QByteArray& etag);
    std::vector<Upload> planAll();
    bool acceptCertificate(const QUrl& url, const QList<QSslError>& errors);
    void storeLogin(const Dialogs::ServerLogin& login);
    QString secretKey() const;
    void afterListChange();

    Window window_;
    std::unique_ptr<DavClient> client_;
    QUrl server_;
    QString password_;  // for this run of the program only, unless remembered
    std::optional<BookState> book_;
};

}  // namespace pennacle
