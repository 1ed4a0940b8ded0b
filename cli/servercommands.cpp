// The commands that talk to an address book on a CardDAV server: pull and push.

#include "carddav/addressbook.h"
#include "carddav/pullrecord.h"
#include "cards/cardidentity.h"
#include "cards/importer.h"
#include "cli/commands.h"

#include <QFile>
#include <QSaveFile>

#include <optional>
#include <set>
#include <span>
#include <vector>

namespace pennacle::cli {

namespace {

struct Account {
    QUrl url;
    QString user;
    QString password;
};

// The first line of the file, without its line end.
QString readPassword(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

// Takes --user and --password-file out of the arguments; throws Failure on a usage error.
Account takeAccount(QStringList& args) {
    Account account;
    QString passwordFile;
    if (!takeOption(args, QLatin1StringView("user"), account.user))
        throw Failure(QStringLiteral("--user NAME is needed"));
    if (!takeOption(args, QLatin1StringView("password-file"), passwordFile))
        throw Failure(QStringLiteral("--password-file FILE is needed"));
    account.password = readPassword(passwordFile);
    return account;
}

// The address book's URL, as a collection; throws Failure when it is no http(s) address.
QUrl bookUrl(const QString& text) {
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https"))
        throw Failure(QStringLiteral("not an http or https address: ") + text);
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

QByteArray joinedCards(const std::vector<ServerCard>& cards) {
    qsizetype size = 0;
    for (const ServerCard& card : cards)
        size += card.data.size() + 2;
    QByteArray bytes;
    bytes.reserve(size);
    for (const ServerCard& card : cards) {
        bytes += card.data;
        // Cards must not run into each other; one that ends its last line is kept as sent.
        if (!card.data.isEmpty() && !card.data.endsWith('\n'))
            bytes += "\r\n";
    }
    return bytes;
}

// The record of what a pull wrote: each card as importing the written file gives it.
PullRecord recordOfPull(const Account& account, const Download& download, const QString& out,
                        Reporter& reporter) {
    std::vector<ContactEntry> imported;
    importCardFile(out, imported, reporter);
    PullRecord record{account.url, download.syncToken, {}};
    for (qsizetype i = 0; i < qsizetype(download.cards.size()); ++i) {
        const ServerCard& card = download.cards[size_t(i)];
        // A server card that imports as no card (or as several) is recorded by its own scan.
        const std::vector<ContactEntry> own =
            scanCards(CardBytes(card.data, CardEncoding::Utf8), reporter);
        const CardBytes& text = imported.size() == download.cards.size()
                                    ? imported[size_t(i)].card
                                    : (own.empty() ? CardBytes() : own.front().card);
        if (text.isEmpty())
            continue;
        record.cards.push_back(
            {uidOf(text), card.href, card.etag, cardHash(text), isVersion40(text)});
    }
    return record;
}

QString recordPath(const QString& vcf) {
    return vcf + QStringLiteral(".carddav");
}

int reportFailure(const Failure& failure) {
    printError(QStringLiteral("pennacle-cli: ") + failure.description() + u'\n');
    return kReported;
}

BookState stateOfRecord(const QUrl& url, const PullRecord& record) {
    BookState book{url, QString(), record.syncToken, {}};
    for (const PulledCard& card : record.cards)
        book.cards[card.href] = {card.etag, card.hash, card.version40};
    return book;
}

// Gives each imported row the href of its recorded card: by UID, or for a card without one
// by its unchanged text.
void matchRows(std::vector<ContactEntry>& rows, const PullRecord& record) {
    std::map<QString, QString> byUid;
    std::multimap<QByteArray, QString> byHash;
    for (const PulledCard& card : record.cards) {
        if (!card.uid.isEmpty())
            byUid.emplace(card.uid, card.href);
        else
            byHash.emplace(card.hash, card.href);
    }
    std::set<QString> taken;
    for (ContactEntry& row : rows) {
        const CardBytes& card = row.card;
        const QString uid = uidOf(card);
        QString href;
        if (!uid.isEmpty()) {
            if (const auto found = byUid.find(uid); found != byUid.end())
                href = found->second;
        } else if (const auto found = byHash.find(cardHash(card)); found != byHash.end()) {
            href = found->second;
            byHash.erase(found);
        }
        if (!href.isEmpty() && taken.insert(href).second)
            row.serverHref = href;
    }
}

// The record after a push: the rows that the server holds as they stand, and the recorded
// cards that the push left alone.
PullRecord recordAfterPush(const PullRecord& before, const BookState& book,
                           std::span<const ContactEntry> rows) {
    PullRecord record{before.url, before.syncToken, {}};
    std::set<QString> written;
    for (const ContactEntry& entry : rows) {
        const auto known = book.cards.find(entry.serverHref);
        if (known == book.cards.end() || !written.insert(entry.serverHref).second)
            continue;
        record.cards.push_back({uidOf(entry.card), entry.serverHref, known->second.etag,
                                known->second.baseHash, known->second.version40});
    }
    for (const PulledCard& card : before.cards) {
        if (book.cards.count(card.href) && !written.count(card.href))
            record.cards.push_back(card);
    }
    return record;
}

QString verbOf(Upload::Kind kind) {
    switch (kind) {
        case Upload::Kind::Update:
            return QStringLiteral("updated");
        case Upload::Kind::Create:
            return QStringLiteral("created");
        case Upload::Kind::Delete:
            break;
    }
    return QStringLiteral("deleted");
}

}  // namespace

int runPull(QStringList args) {
    Account account;
    QString out;
    try {
        if (!takeOption(args, QLatin1StringView("out"), out))
            throw Failure(QStringLiteral("--out OUT.vcf is needed"));
        account = takeAccount(args);
        const QStringList rest = operands(args);
        if (rest.size() != 1)
            throw Failure(QStringLiteral("pull takes one address book URL"));
        account.url = bookUrl(rest.first());
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    StderrReporter reporter;
    try {
        DavClient client(account.user, account.password);
        const Download download = downloadAll(client, account.url);
        writeFile(out, joinedCards(download.cards));
        writeFile(recordPath(out),
                  pullRecordToJson(recordOfPull(account, download, out, reporter)));
        printOut(QStringLiteral("%1 card(s) pulled.\n").arg(download.cards.size()));
    } catch (const Failure& failure) {
        return reportFailure(failure);
    }
    return reporter.exitStatus();
}

int runPush(QStringList args) {
    Account account;
    QString in;
    bool deleting = false;
    try {
        deleting = takeFlag(args, QLatin1StringView("delete"));
        account = takeAccount(args);
        const QStringList rest = operands(args);
        if (rest.size() != 2)
            throw Failure(QStringLiteral("push takes IN.vcf and the address book URL"));
        in = rest.at(0);
        account.url = bookUrl(rest.at(1));
    } catch (const Failure& failure) {
        return usageError(failure.description());
    }
    PullRecord record;
    try {
        QFile file(recordPath(in));
        if (!file.open(QIODevice::ReadOnly))
            throw Failure(QStringLiteral("cannot read %1: %2 (pull first)")
                              .arg(file.fileName(), file.errorString()));
        record = pullRecordFromJson(file.readAll());
    } catch (const Failure& failure) {
        printError(QStringLiteral("pennacle-cli: ") + failure.description() + u'\n');
        return kUsageError;
    }
    std::vector<ContactEntry> rows;
    StderrReporter reporter;
    if (!importFiles({in}, rows, reporter))
        return kUsageError;
    matchRows(rows, record);
    BookState book = stateOfRecord(account.url, record);
    int refused = 0;
    try {
        DavClient client(account.user, account.password);
        for (const Upload& upload : planUploads(rows, book, reporter)) {
            if (upload.kind == Upload::Kind::Delete && !deleting)
                continue;
            const UploadResult result = sendUpload(client, account.url, upload);
            if (result.outcome != UploadResult::Outcome::Done) {
                printError(QStringLiteral("pennacle-cli: %1%2\n")
                               .arg(result.outcome == UploadResult::Outcome::Conflict
                                        ? QStringLiteral("conflict: ")
                                        : QString(),
                                    result.message));
                ++refused;
                continue;
            }
            if (const std::optional<RowHref> created =
                    recordUpload(book, rows, upload, result.etag))
                rows[size_t(created->row)].serverHref = created->href;
            printOut(QStringLiteral("%1 %2\n").arg(verbOf(upload.kind), upload.href));
        }
    } catch (const Failure& failure) {
        reportFailure(failure);
        ++refused;
    }
    try {
        writeFile(recordPath(in), pullRecordToJson(recordAfterPush(record, book, rows)));
    } catch (const Failure& failure) {
        return reportFailure(failure);
    }
    return refused > 0 ? kReported : reporter.exitStatus();
}

}  // namespace pennacle::cli
