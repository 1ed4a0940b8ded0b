#pragma once

#include "core/secretstore.h"

#include <QMap>

// The key store double: secrets in memory, kept across windows of one test.
class MemorySecretStore : public pennacle::SecretStore {
public:
    std::optional<QString> readSecret(const QString& key) override {
        return secrets.contains(key) ? std::optional(secrets.value(key)) : std::nullopt;
    }
    void writeSecret(const QString& key, const QString& secret) override {
        secrets.insert(key, secret);
    }
    void removeSecret(const QString& key) override { secrets.remove(key); }
    QMap<QString, QString> secrets;
};
