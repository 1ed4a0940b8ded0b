#pragma once

#include "core/secretstore.h"

namespace pennacle {

// The desktop's key store (Secret Service, KWallet, macOS Keychain, Windows credentials)
// through QtKeychain, under the service "Pennacle Suite".
class KeychainStore : public SecretStore {
public:
    std::optional<QString> readSecret(const QString& key) override;
    void writeSecret(const QString& key, const QString& secret) override;
    void removeSecret(const QString& key) override;
};

}  // namespace pennacle
