#pragma once

#include <QString>

#include <optional>

namespace pennacle {

// Where passwords are kept between starts: the desktop's key store, never the settings file.
// Behind an interface, because tests (and machines without a key store) need a double.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    // Nothing when no secret is kept under `key` or the store cannot be reached.
    virtual std::optional<QString> readSecret(const QString& key) = 0;
    // Throws Failure when the store refuses.
    virtual void writeSecret(const QString& key, const QString& secret) = 0;
    virtual void removeSecret(const QString& key) = 0;
};

}  // namespace pennacle
