#include "app/keychainstore.h"

#include "core/guard.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace pennacle {

namespace {

const QString kService = QStringLiteral("Pennacle Suite");

// Runs a key store job to its end; the job's own error, if any.
QKeychain::Error run(QKeychain::Job& job) {
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return job.error();
}

}  // namespace

std::optional<QString> KeychainStore::readSecret(const QString& key) {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    if (run(job) != QKeychain::NoError)
        return std::nullopt;
    return job.textData();
}

void KeychainStore::writeSecret(const QString& key, const QString& secret) {
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setTextData(secret);
    if (run(job) != QKeychain::NoError)
        throw Failure(QStringLiteral("The key store did not keep the password: ") +
                      job.errorString());
}

void KeychainStore::removeSecret(const QString& key) {
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    run(job);
}

}  // namespace pennacle
