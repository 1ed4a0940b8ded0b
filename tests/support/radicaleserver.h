#pragma once

// A real CardDAV server for the tests: Radicale (Debian python3-radicale) on 127.0.0.1 at a
// free port, with plain htpasswd users and its storage in a temporary folder. Address books
// are seeded by writing their files before the server starts, which costs no requests.
// Header-only, like the CLI runner.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <chrono>
#include <vector>

// A 3.0 card of one person, the way a phone would send it.
inline QByteArray personCard(int number, const QByteArray& uid) {
    const QByteArray n = QByteArray::number(number);
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:Person " + n + "\r\nN:" + n +
           ";Person;;;\r\nEMAIL;TYPE=INTERNET:person" + n +
           "@example.org\r\nTEL;TYPE=CELL:+1 555 01" + n + "\r\nEND:VCARD\r\n";
}

// `count` such cards, with the UIDs "uid-0", "uid-1", ...
inline std::vector<QByteArray> people(int count) {
    std::vector<QByteArray> cards;
    for (int i = 0; i < count; ++i)
        cards.push_back(personCard(i, "uid-" + QByteArray::number(i)));
    return cards;
}

class RadicaleServer {
public:
    explicit RadicaleServer(QString user = QStringLiteral("alice"),
                            QString password = QStringLiteral("secret"))
        : user_(std::move(user)), password_(std::move(password)) {
        QFile users(dir_.filePath(QStringLiteral("users")));
        if (users.open(QIODevice::WriteOnly))
            users.write((user_ + u':' + password_ + u'\n').toUtf8());
    }
    ~RadicaleServer() { stop(); }

    const QString& user() const { return user_; }
    const QString& password() const { return password_; }
    QString folder() const { return dir_.path(); }

    // Writes an address book (cards named c0.vcf, c1.vcf, ... unless given as name → card).
    void seedBook(const QString& book, const QString& displayName,
                  const std::vector<QByteArray>& cards) {
        const QString path = bookFolder(book);
        QDir().mkpath(path);
        writeFile(path + QStringLiteral("/.Radicale.props"),
                  R"({"D:displayname": ")" + displayName.toUtf8() + R"(", "tag": "VADDRESSBOOK"})");
        for (size_t i = 0; i < cards.size(); ++i)
            writeFile(path + QStringLiteral("/c%1.vcf").arg(i), cards[i]);
    }
    // A collection of another kind, which discovery must pass over.
    void seedCalendar(const QString& name) {
        const QString path = bookFolder(name);
        QDir().mkpath(path);
        writeFile(path + QStringLiteral("/.Radicale.props"),
                  R"({"D:displayname": "Calendar", "tag": "VCALENDAR"})");
    }
    QString bookFolder(const QString& book) const {
        return dir_.filePath(QStringLiteral("storage/collection-root/%1/%2").arg(user_, book));
    }
    QByteArray storedCard(const QString& book, const QString& file) const {
        QFile card(bookFolder(book) + u'/' + file);
        return card.open(QIODevice::ReadOnly) ? card.readAll() : QByteArray();
    }

    // Starts the server and waits until it takes connections. With `tls`, over HTTPS with a
    // self-signed certificate made by openssl.
    bool start(bool tls = false) {
        port_ = freePort();
        tls_ = tls;
        if (tls && !makeCertificate())
            return false;
        writeFile(dir_.filePath(QStringLiteral("config")), config());
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // "python3 -m radicale --config FILE", but without its fsync after every write: the
        // storage is thrown away anyway, and syncing makes a first look at a big book slow.
        process_.start(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral("-c"),
                        QStringLiteral("import os, sys; os.fsync = lambda fd: None; "
                                       "from radicale.__main__ import run; "
                                       "sys.argv = ['radicale', '--config', sys.argv[1]]; run()"),
                        dir_.filePath(QStringLiteral("config"))});
        if (!process_.waitForStarted(5000))
            return false;
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (process_.state() != QProcess::Running)
                return false;
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), port_);
            if (probe.waitForConnected(100))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

    QUrl root() const {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(tls_ ? "https" : "http").arg(port_));
    }
    QUrl bookUrl(const QString& book) const {
        return root().resolved(QUrl(QStringLiteral("/%1/%2/").arg(user_, book)));
    }
    QString certificatePath() const { return dir_.filePath(QStringLiteral("cert.pem")); }

private:
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    static quint16 freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }
    bool makeCertificate() const {
        return QProcess::execute(
                   QStringLiteral("openssl"),
                   {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                    QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                    QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"),
                    dir_.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                    certificatePath()}) == 0;
    }
    QByteArray config() const {
        QByteArray text = "[server]\nhosts = 127.0.0.1:" + QByteArray::number(port_) + "\n";
        if (tls_) {
            text += "ssl = True\ncertificate = " + certificatePath().toUtf8() +
                    "\nkey = " + dir_.filePath(QStringLiteral("key.pem")).toUtf8() + "\n";
        }
        text += "[auth]\ntype = htpasswd\nhtpasswd_filename = " +
                dir_.filePath(QStringLiteral("users")).toUtf8() +
                "\nhtpasswd_encryption = plain\ndelay = 0\n"
                "[storage]\nfilesystem_folder = " +
                dir_.filePath(QStringLiteral("storage")).toUtf8() +
                "\n[rights]\ntype = owner_only\n[web]\ntype = none\n[logging]\nlevel = critical\n";
        return text;
    }

    QString user_;
    QString password_;
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
    bool tls_ = false;
};
