#pragma once

// The ways a save fails that a test can bring about, in this process or in a child program:
// a full disk (a limit on the size of files written), a folder without write permission, and a
// file name longer than the file system takes.

#include "support/ordinaryuser.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>

#include <sys/resource.h>
#include <csignal>
#include <optional>

enum class SaveFailure { FullDisk, ReadOnlyFolder, NameTooLong };

// The step of the per-contact save that reports each of them: writing the contact's file.
inline QString failingSaveStep(SaveFailure) {
    return QStringLiteral("PushButton1_Click at line 118");
}

// Files written past the limit fail with "File too large", as on a full disk.
inline constexpr rlim_t kFullDiskBytes = 100000;
// Too long for one name on every common file system (255 bytes at most).
inline const QString kRejectedName = QString(300, u'n');

// Makes every write past `bytes` fail, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

// A folder that no one but root may write into, writable again at the end of the scope.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder)
        : folder_(folder), saved_(QFile::permissions(folder)) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() { QFile::setPermissions(folder_, saved_); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString folder_;
    QFile::Permissions saved_;
};

// The failure in force in this process for the scope's length: saving into `folder` fails.
// ok() is false when it cannot be brought about here; the test should skip.
class SaveFailureScope {
public:
    SaveFailureScope(SaveFailure failure, const QString& folder) {
        if (failure == SaveFailure::FullDisk) {
            limit_.emplace(kFullDiskBytes);
        } else if (failure == SaveFailure::ReadOnlyFolder) {
            folder_.emplace(folder);
            user_.emplace();
        }
    }
    bool ok() const { return !user_ || user_->ok(); }

private:
    std::optional<FileSizeLimit> limit_;
    std::optional<ReadOnlyFolder> folder_;  // made writable after the user is switched back
    std::optional<AsOrdinaryUser> user_;
};

// The same for a child program started with `process`. For ReadOnlyFolder the caller keeps the
// folder read-only (a ReadOnlyFolder scope) while the child runs.
inline void prepareChildSaveFailure(QProcess& process, SaveFailure failure) {
    if (failure == SaveFailure::FullDisk) {
        process.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);  // kept across exec
            rlimit limited{};
            getrlimit(RLIMIT_FSIZE, &limited);
            limited.rlim_cur = kFullDiskBytes;
            setrlimit(RLIMIT_FSIZE, &limited);
        });
    } else if (failure == SaveFailure::ReadOnlyFolder) {
        runChildAsOrdinaryUser(process);
    }
}

// Every file of a folder with its bytes, hidden ones included.
inline QMap<QString, QByteArray> filesIn(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    return files;
}
