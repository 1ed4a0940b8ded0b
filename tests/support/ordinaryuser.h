#pragma once

// File permissions do not stop root, whom the tests may run as. These run a piece of a test, or
// a child program, as an ordinary user instead, so that a folder without write permission or a
// file without read permission fails as it would for the user.

#include <QFile>
#include <QProcess>
#include <QString>

#include <sys/types.h>
#include <unistd.h>

inline constexpr uid_t kOrdinaryUser = 65534;  // "nobody"

// For the scope's length the effective user is an ordinary one (when running as root; an
// ordinary user stays who it is). ok() is false when the switch failed: the test should skip.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() == 0) {
            switched_ = seteuid(kOrdinaryUser) == 0;
            ok_ = switched_;
        }
    }
    ~AsOrdinaryUser() {
        if (switched_)
            (void)seteuid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
    bool ok() const { return ok_; }

private:
    bool switched_ = false;
    bool ok_ = true;
};

// Whether files can be made unreadable or unwritable for this test: false when running as root
// without the right to become another user.
inline bool ordinaryUserAvailable() {
    const AsOrdinaryUser user;
    return user.ok();
}

// Lets the ordinary user into a folder made by root (a QTemporaryDir is private to its owner).
inline bool openToOthers(const QString& folder) {
    return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                             QFile::ExeGroup);
}

// Starts the child as the ordinary user when the test runs as root.
inline void runChildAsOrdinaryUser(QProcess& process) {
    if (geteuid() != 0)
        return;
    process.setChildProcessModifier([] {
        if (setgid(kOrdinaryUser) != 0 || setuid(kOrdinaryUser) != 0)
            _exit(126);
    });
}
