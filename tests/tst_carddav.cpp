// The CardDAV engine against a real server (Radicale on 127.0.0.1).
#include "carddav/addressbook.h"
#include "carddav/booksync.h"
#include "cards/cardidentity.h"
#include "contacts/contactlist.h"
#include "support/collectingreporter.h"
#include "support/radicaleserver.h"

#include <QElapsedTimer>
#include <QSslCertificate>
#include <QTest>

using namespace pennacle;

namespace {

// What the window holds after opening the book: its rows and what it knows of them.
struct OpenedBook {
    ContactList rows;
    BookState state;
};

void open(DavClient& client, const QUrl& url, OpenedBook& book, Reporter& reporter) {
    book.state.url = url;
    const Download download = downloadAll(client, url);
    book.state.syncToken = download.syncToken;
    book.rows.append(takeDownload(download.cards, book.state, reporter));
}

qsizetype rowOfUid(const ContactList& rows, const QString& uid) {
    for (qsizetype row = 0; row < rows.count(); ++row) {
        if (uidOf(rows.at(row).card) == uid)
            return row;
    }
    return -1;
}

// Saves as the window does: every planned upload; the outcomes in order.
std::vector<UploadResult::Outcome> save(DavClient& client, OpenedBook& book, Reporter& reporter) {
    std::vector<UploadResult::Outcome> outcomes;
    for (const Upload& upload : planUploads(book.rows.entries(), book.state, reporter)) {
        const UploadResult result = sendUpload(client, book.state.url, upload);
        if (result.outcome == UploadResult::Outcome::Done) {
            const auto created = recordUpload(book.state, book.rows.entries(), upload, result.etag);
            if (created)
                book.rows.setServerHref(created->row, created->href);
        }
        outcomes.push_back(result.outcome);
    }
    return outcomes;
}

// Refreshes as the window does: the list takes the changes through its own methods.
RefreshOutcome refresh(const Download& changes, OpenedBook& book, Reporter& reporter) {
    RefreshOutcome outcome = applyRefresh(changes, book.rows.entries(), book.state, reporter);
    for (const qsizetype row : outcome.rowsToRemove)
        book.rows.remove(row);
    for (const CardReplacement& replacement : outcome.cardsToReplace)
        book.rows.setCard(replacement.row, replacement.card, replacement.Text);
    book.rows.append(outcome.rowsToAppend);
    return outcome;
}

CardBytes edited(const CardBytes& card, const QByteArray& from, const QByteArray& to) {
    return CardBytes(QByteArray(card.bytes()).replace(from, to), card.encoding());
}

}  // namespace

class TestCardDav : public QObject {
    Q_OBJECT

private slots:
    void discoveryFindsAddressBooksOnly();
    void downloadsAThousandCardsQuickly();
    void savesOnlyWhatChanged_data();
    void savesOnlyWhatChanged();
    void conflictLeavesTheServersCard();
    void wrongPasswordIsRefused();
    void serverStoppedDuringDownload();
    void refreshBringsChangesAndSurvivesABadToken();
    void refreshPlacesCardsAfterItsRemovals();
    void certificateRefusedUnlessAccepted();
};

void TestCardDav::discoveryFindsAddressBooksOnly() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(1));
    server.seedBook(QStringLiteral("work"), QStringLiteral("Work & Co"), {});
    server.seedCalendar(QStringLiteral("calendar"));
    QVERIFY(server.start());
    DavClient client(server.user(), server.password());

    std::vector<AddressBookInfo> books = discoverAddressBooks(client, server.root());
    std::sort(books.begin(), books.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    QCOMPARE(books.size(), size_t(2));
    QCOMPARE(books[0].name, QStringLiteral("Friends"));
    QCOMPARE(books[0].url, server.bookUrl(QStringLiteral("contacts")));
    QCOMPARE(books[1].name, QStringLiteral("Work & Co"));
    QCOMPARE(addressBookName(client, books[1].url), QStringLiteral("Work & Co"));
}

void TestCardDav::downloadsAThousandCardsQuickly() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("big"), QStringLiteral("Big"), people(1000));
    QVERIFY(server.start());
    CollectingReporter reporter;
    // The server's first look at files written behind its back (it parses and indexes every
    // card) is its own cost, not the download's: it is paid before the clock runs.
    {
        DavClient warming(server.user(), server.password());
        QCOMPARE(downloadAll(warming, server.bookUrl(QStringLiteral("big"))).cards.size(),
                 size_t(1000));
    }

    DavClient client(server.user(), server.password());
    QElapsedTimer clock;
    clock.start();
    std::vector<qsizetype> steps;
    OpenedBook book;
    book.state.url = server.bookUrl(QStringLiteral("big"));
    const Download download = downloadAll(client, book.state.url, [&](qsizetype done, qsizetype) {
        steps.push_back(done);
        return true;
    });
    book.rows.append(takeDownload(download.cards, book.state, reporter));
    const qint64 elapsed = clock.elapsed();
    qInfo("1000 cards downloaded and listed in %lld ms", elapsed);

    QCOMPARE(book.rows.count(), 1000);
    QCOMPARE(book.state.cards.size(), size_t(1000));
    QVERIFY(!download.syncToken.isEmpty());
    QCOMPARE(steps.back(), 1000);
    QVERIFY(steps.size() >= 3);  // progress in batches
    const qsizetype row = rowOfUid(book.rows, QStringLiteral("uid-7"));
    QCOMPARE(book.rows.at(row).Text, QStringLiteral("7, Person"));
    QVERIFY(reporter.reports.isEmpty());
#ifndef PENNACLE_SANITIZED
    QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
#endif
}

// One change each: exactly its request goes up, and the server ends as the list.
void TestCardDav::savesOnlyWhatChanged_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("puts");
    QTest::addColumn<int>("deletes");
    QTest::newRow("nothing") << "nothing" << 0 << 0;
    QTest::newRow("edit one card") << "edit" << 1 << 0;
    QTest::newRow("edit, then undo the edit") << "edit back" << 0 << 0;
    QTest::newRow("new card with UID") << "new with uid" << 1 << 0;
    QTest::newRow("new card without UID") << "new without uid" << 1 << 0;
    QTest::newRow("new 2.1 card, converted") << "new 2.1" << 1 << 0;
    QTest::newRow("delete one card") << "delete" << 0 << 1;
    QTest::newRow("delete, then put back (undo)") << "delete back" << 0 << 0;
}

void TestCardDav::savesOnlyWhatChanged() {
    QFETCH(QString, change);
    QFETCH(int, puts);
    QFETCH(int, deletes);
    RadicaleServer server;
    server.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(5));
    QVERIFY(server.start());
    DavClient client(server.user(), server.password());
    CollectingReporter reporter;
    OpenedBook book;
    open(client, server.bookUrl(QStringLiteral("contacts")), book, reporter);
    const qsizetype row = rowOfUid(book.rows, QStringLiteral("uid-2"));
    const CardBytes original = book.rows.at(row).card;

    const QByteArray newUid = "brand-new";
    if (change.startsWith(u"edit"))
        book.rows.setCard(row, edited(original, "Person 2", "Person Two"));
    if (change == u"edit back")
        book.rows.setCard(row, original);
    if (change.startsWith(u"new")) {
        const QByteArray card =
            change == u"new with uid" ? personCard(9, newUid)
            : change == u"new 2.1"
                ? QByteArray(
                      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-"
                      "PRINTABLE:M=C3=BCller;Jan\r\nTEL;CELL;PREF:555 0101\r\nEND:VCARD\r\n")
                : QByteArray(
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nobody\r\n"
                      "N:Nobody;;;;\r\nEND:VCARD\r\n");
        book.rows.append(ContactEntry{QStringLiteral("x"), CardBytes(card, CardEncoding::Utf8)});
    }
    if (change.startsWith(u"delete")) {
        std::vector<ContactEntry> taken = book.rows.take(row, 1);
        if (change == u"delete back")
            book.rows.insert(row, std::move(taken));
    }
    const int putsBefore = client.sentCount("PUT");
    const std::vector<UploadResult::Outcome> outcomes = save(client, book, reporter);
    QCOMPARE(client.sentCount("PUT") - putsBefore, puts);
    QCOMPARE(client.sentCount("DELETE"), deletes);
    for (const UploadResult::Outcome outcome : outcomes)
        QCOMPARE(outcome, UploadResult::Outcome::Done);

    // What the server holds now, read back by a second client.
    DavClient other(server.user(), server.password());
    const Download after = downloadAll(other, book.state.url);
    QCOMPARE(qsizetype(after.cards.size()), book.rows.count());
    if (change == u"edit")
        QVERIFY(server.storedCard(QStringLiteral("contacts"), QStringLiteral("c2.vcf"))
                    .contains("Person Two"));
    if (change.startsWith(u"new")) {
        const ContactEntry& added = book.rows.at(book.rows.count() - 1);
        QVERIFY(!added.serverHref.isEmpty());
        const std::optional<ServerCard> stored = fetchCard(other, book.state.url, added.serverHref);
        QVERIFY(stored);
        const QString uid = uidOf(CardBytes(stored->data, CardEncoding::Utf8));
        QVERIFY(!uid.isEmpty());
        if (change == u"new 2.1") {
            // Servers take no 2.1: the card went up as 3.0, its values decoded.
            const QString text = QString::fromUtf8(stored->data);
            QVERIFY2(text.contains(u"VERSION:3.0") && text.contains(u"N:M\u00fcller;Jan") &&
                         text.contains(u"TEL;TYPE=CELL,PREF:555 0101") && text.contains(u"FN:"),
                     qPrintable(text));
        }
        if (change == u"new with uid") {
            QCOMPARE(uid, QString::fromLatin1(newUid));
            QVERIFY(added.serverHref.endsWith(QStringLiteral("/brand-new.vcf")));
        }
    }
    // A second save right after has nothing left to do.
    QVERIFY(planUploads(book.rows.entries(), book.state, reporter).empty());
    QVERIFY(reporter.reports.isEmpty());
}

void TestCardDav::conflictLeavesTheServersCard() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(3));
    QVERIFY(server.start());
    const QUrl url = server.bookUrl(QStringLiteral("contacts"));
    CollectingReporter reporter;
    DavClient mine(server.user(), server.password());
    OpenedBook book;
    open(mine, url, book, reporter);

    // Someone else edits card 1 first.
    DavClient theirs(server.user(), server.password());
    OpenedBook other;
    open(theirs, url, other, reporter);
    const qsizetype theirRow = rowOfUid(other.rows, QStringLiteral("uid-1"));
    other.rows.setCard(theirRow, edited(other.rows.at(theirRow).card, "Person 1", "Theirs"));
    QCOMPARE(save(theirs, other, reporter), std::vector{UploadResult::Outcome::Done});

    // My edits of card 1 (conflict) and card 2 (goes up), and my delete of card 1 after.
    const qsizetype row1 = rowOfUid(book.rows, QStringLiteral("uid-1"));
    const qsizetype row2 = rowOfUid(book.rows, QStringLiteral("uid-2"));
    book.rows.setCard(row1, edited(book.rows.at(row1).card, "Person 1", "Mine"));
    book.rows.setCard(row2, edited(book.rows.at(row2).card, "Person 2", "Mine too"));
    const std::vector<UploadResult::Outcome> outcomes = save(mine, book, reporter);
    QCOMPARE(std::count(outcomes.begin(), outcomes.end(), UploadResult::Outcome::Conflict), 1);
    QCOMPARE(std::count(outcomes.begin(), outcomes.end(), UploadResult::Outcome::Done), 1);
    QVERIFY(
        server.storedCard(QStringLiteral("contacts"), QStringLiteral("c1.vcf")).contains("Theirs"));
    QVERIFY(server.storedCard(QStringLiteral("contacts"), QStringLiteral("c2.vcf"))
                .contains("Mine too"));

    book.rows.remove(row1);
    QCOMPARE(save(mine, book, reporter), std::vector{UploadResult::Outcome::Conflict});
    QVERIFY(
        server.storedCard(QStringLiteral("contacts"), QStringLiteral("c1.vcf")).contains("Theirs"));
}

void TestCardDav::wrongPasswordIsRefused() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(1));
    QVERIFY(server.start());
    DavClient client(server.user(), QStringLiteral("wrong"));
    try {
        downloadAll(client, server.bookUrl(QStringLiteral("contacts")));
        QFAIL("a wrong password downloaded");
    } catch (const DavFailure& failure) {
        QCOMPARE(failure.kind(), DavFailure::Kind::Unauthorized);
    }
}

void TestCardDav::serverStoppedDuringDownload() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("big"), QStringLiteral("Big"), people(300));
    QVERIFY(server.start());
    DavClient client(server.user(), server.password());
    client.setTimeout(5000);
    int calls = 0;
    try {
        downloadAll(client, server.bookUrl(QStringLiteral("big")), [&](qsizetype, qsizetype) {
            if (++calls == 2)
                server.stop();
            return true;
        });
        QFAIL("a download from a stopped server succeeded");
    } catch (const DavFailure& failure) {
        QCOMPARE(failure.kind(), DavFailure::Kind::Network);
        QVERIFY(failure.description().contains(u"127.0.0.1"));
    }
}

void TestCardDav::refreshBringsChangesAndSurvivesABadToken() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(4));
    QVERIFY(server.start());
    const QUrl url = server.bookUrl(QStringLiteral("contacts"));
    CollectingReporter reporter;
    DavClient mine(server.user(), server.password());
    OpenedBook book;
    open(mine, url, book, reporter);

    DavClient theirs(server.user(), server.password());
    OpenedBook other;
    open(theirs, url, other, reporter);
    const qsizetype changed = rowOfUid(other.rows, QStringLiteral("uid-1"));
    other.rows.setCard(changed, edited(other.rows.at(changed).card, "Person 1", "Changed"));
    other.rows.remove(rowOfUid(other.rows, QStringLiteral("uid-3")));
    other.rows.append(
        ContactEntry{QStringLiteral("x"), CardBytes(personCard(8, "uid-8"), CardEncoding::Utf8)});
    save(theirs, other, reporter);
    // Edited here too: it keeps my text and meets the conflict on save.
    const qsizetype mineEdited = rowOfUid(book.rows, QStringLiteral("uid-0"));
    book.rows.setCard(mineEdited, edited(book.rows.at(mineEdited).card, "Person 0", "Mine"));

    const Download changes = downloadChanges(mine, url, book.state.syncToken);
    QVERIFY(!changes.full);
    QCOMPARE(changes.cards.size(), size_t(2));
    const RefreshOutcome outcome = refresh(changes, book, reporter);
    QCOMPARE(outcome.added, 1);
    QCOMPARE(outcome.replaced, 1);
    QCOMPARE(outcome.removed, 1);
    QCOMPARE(book.rows.count(), 4);
    QVERIFY(book.rows.at(rowOfUid(book.rows, QStringLiteral("uid-1")))
                .card.bytes()
                .contains("Changed"));
    QCOMPARE(rowOfUid(book.rows, QStringLiteral("uid-3")), -1);

    // A token the server does not know: everything again, nothing twice, my edit kept.
    const Download full =
        downloadChanges(mine, url, QStringLiteral("http://radicale.org/ns/sync/bogus"));
    QVERIFY(full.full);
    QCOMPARE(full.cards.size(), size_t(4));
    refresh(full, book, reporter);
    QCOMPARE(book.rows.count(), 4);
    QVERIFY(
        book.rows.at(rowOfUid(book.rows, QStringLiteral("uid-0"))).card.bytes().contains("Mine"));
    QVERIFY(reporter.reports.isEmpty());
}

// No server: the rows a refresh names, with a row before the removed one and a card that the
// download holds twice.
void TestCardDav::refreshPlacesCardsAfterItsRemovals() {
    CollectingReporter reporter;
    OpenedBook book;
    book.rows.append(ContactEntry{QStringLiteral("local"),
                                  CardBytes(personCard(0, "uid-0"), CardEncoding::Utf8)});
    std::vector<ServerCard> cards;
    for (const char* n : {"1", "2", "3"}) {
        cards.push_back({QStringLiteral("/b/%1.vcf").arg(QLatin1String(n)), QByteArray("e") + n,
                         personCard(QByteArray(n).toInt(), QByteArray("uid-") + n)});
    }
    book.rows.append(takeDownload(cards, book.state, reporter));
    Download changes;
    changes.full = false;
    changes.removed = {QStringLiteral("/b/1.vcf")};
    changes.cards = {{QStringLiteral("/b/3.vcf"), "e3a", personCard(30, "uid-3")},
                     {QStringLiteral("/b/3.vcf"), "e3b", personCard(31, "uid-3")},
                     {QStringLiteral("/b/9.vcf"), "e9", personCard(9, "uid-9")}};

    const RefreshOutcome outcome = refresh(changes, book, reporter);
    QCOMPARE(outcome.rowsToRemove, std::vector<qsizetype>{1});
    QCOMPARE(outcome.cardsToReplace.size(), size_t(2));
    QCOMPARE(outcome.cardsToReplace[0].row, 2);
    QCOMPARE(outcome.cardsToReplace[1].row, 2);
    QCOMPARE(outcome.removed, 1);
    QCOMPARE(outcome.replaced, 2);
    QCOMPARE(outcome.added, 1);
    QCOMPARE(outcome.keptEdited, 0);
    QCOMPARE(book.rows.count(), 4);
    QCOMPARE(book.rows.currentRow(), 0);
    QCOMPARE(book.rows.at(1).serverHref, QStringLiteral("/b/2.vcf"));
    QCOMPARE(book.rows.at(2).serverHref, QStringLiteral("/b/3.vcf"));
    QVERIFY(book.rows.at(2).card.bytes().contains("FN:Person 31"));
    QCOMPARE(book.rows.at(3).serverHref, QStringLiteral("/b/9.vcf"));
    QCOMPARE(book.state.syncToken, QString());
    QVERIFY(reporter.reports.isEmpty());
}

void TestCardDav::certificateRefusedUnlessAccepted() {
    RadicaleServer server;
    server.seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(2));
    QVERIFY(server.start(true));
    const QUrl url = server.bookUrl(QStringLiteral("contacts"));
    QCOMPARE(url.scheme(), QStringLiteral("https"));

    DavClient strict(server.user(), server.password());
    try {
        downloadAll(strict, url);
        QFAIL("a self-signed certificate was taken without asking");
    } catch (const DavFailure& failure) {
        QCOMPARE(failure.kind(), DavFailure::Kind::Certificate);
    }

    DavClient trusting(server.user(), server.password());
    QList<QSslError> seen;
    trusting.setCertificateCheck([&](const QUrl&, const QList<QSslError>& errors) {
        seen = errors;
        return true;
    });
    QCOMPARE(downloadAll(trusting, url).cards.size(), size_t(2));
    QVERIFY(!seen.isEmpty());
    const QList<QSslCertificate> made = QSslCertificate::fromPath(server.certificatePath());
    QCOMPARE(seen.first().certificate(), made.first());
}

QTEST_GUILESS_MAIN(TestCardDav)
#include "tst_carddav.moc"
