// The window's side of an address book on a server: its three buttons.
#include "app/form1.h"
#include "app/keychainstore.h"

#include <QPushButton>

namespace pennacle {

ServerFlow& Form1::server() {
    if (!server_) {
        if (!secrets_) {
            keychain_ = std::make_unique<KeychainStore>();
            secrets_ = keychain_.get();
        }
        server_ = std::make_unique<ServerFlow>(
            ServerFlow::Window{.context = flowContext(),
                               .contacts = contacts_,
                               .undo = *undo_,
                               .secrets = *secrets_,
                               .progress = progressStarter(),
                               .matchesServer =
                                   [this](const QString& name) {
                                       changes_.noteServerBook(name);
                                       showChanges();
                                   },
                               .setUnsaved =
                                   [this](bool unsaved) {
                                       changes_.setUnsaved(unsaved);
                                       showChanges();
                                   },
                               .unsaved = [this] { return changes_.unsaved(); },
                               .showContact = [this](qsizetype row) { showContactRow(row); }});
    }
    return *server_;
}

void Form1::enableServerButtons() {
    const bool open = server_ && server_->isOpen();
    PushButton[17]->setEnabled(open);
    PushButton[18]->setEnabled(open);
}

void Form1::PushButton16_Click() {
    server().open();
    enableServerButtons();
}

}  // namespace pennacle
