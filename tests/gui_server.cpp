// The window with an address book on a real server (Radicale on 127.0.0.1).
#include "carddav/addressbook.h"
#include "support/memorysecretstore.h"
#include "support/radicaleserver.h"
#include "support/windowfixture.h"

#include <QPushButton>

using namespace pennacle;

namespace {

qsizetype rowNamed(const ContactList& rows, const QString& name) {
    for (qsizetype row = 0; row < rows.count(); ++row) {
        if (rows.at(row).Text == name)
            return row;
    }
    return -1;
}

}  // namespace

class TestGuiServer : public QObject {
    Q_OBJECT

private slots:
    void init();
    void openEditSaveAndClose();
    void conflictChoices_data();
    void conflictChoices();
    void deletingAsksFirst();
    void serverStoppedKeepsTheList();

private:
    // Opens the book "contacts" through the window's dialogs, the password right at once.
    void openBook(WindowFixture& fixture, bool remember) {
        fixture.dialogs.loginAnswers.enqueue(Dialogs::ServerLogin{
            server_->root().toString(), server_->user(), server_->password(), remember});
        fixture.form->PushButton16_Click();
    }

    std::unique_ptr<RadicaleServer> server_;
    MemorySecretStore secrets_;
};

void TestGuiServer::init() {
    server_ = std::make_unique<RadicaleServer>();
    server_->seedBook(QStringLiteral("contacts"), QStringLiteral("Friends"), people(3));
    QVERIFY(server_->start());
    secrets_.secrets.clear();
}

void TestGuiServer::openEditSaveAndClose() {
    WindowFixture fixture;
    Form1& form = fixture.open();
    form.setSecretStore(secrets_);
    QVERIFY(!fixture.find<QPushButton>("PushButton17")->isEnabled());

    // A wrong password first: refused, and asked again.
    fixture.dialogs.loginAnswers.enqueue(Dialogs::ServerLogin{
        server_->root().toString(), server_->user(), QStringLiteral("wrong"), true});
    fixture.dialogs.loginAnswers.enqueue(Dialogs::ServerLogin{
        server_->root().toString(), server_->user(), server_->password(), true});
    form.PushButton16_Click();
    QCOMPARE(fixture.dialogs.callsOf("login").size(), 2);
    QCOMPARE(fixture.dialogs.callsOf("warning").size(), 1);
    QCOMPARE(form.contacts().count(), 3);
    QCOMPARE(form.windowTitle(), QStringLiteral("Pennacle Suite \u2014 Friends"));
    QVERIFY(fixture.find<QPushButton>("PushButton17")->isEnabled());
    QCOMPARE(secrets_.secrets.values(), QStringList{server_->password()});
    QVERIFY(!readBytes(fixture.settingsPath()).contains(server_->password().toUtf8()));

    // An edit marks the list; Save to Server uploads it and clears the mark.
    const qsizetype row = rowNamed(form.contacts(), QStringLiteral("1, Person"));
    QTreeView* list = fixture.list();
    const QModelIndex shown = list->model()->index(form.shownRowOf(row), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(shown).center());
    QCOMPARE(form.contacts().currentRow(), row);
    QTest::keyClicks(fixture.box(LastName), "X");
    QVERIFY(form.windowTitle().endsWith(u'*'));
    form.PushButton17_Click();
    QCOMPARE(form.windowTitle(), QStringLiteral("Pennacle Suite \u2014 Friends"));
    QVERIFY(server_->storedCard(QStringLiteral("contacts"), QStringLiteral("c1.vcf"))
                .contains("N:X1;"));

    // The close question's Save saves to the server.
    QTest::keyClicks(fixture.box(LastName), "Y");
    fixture.dialogs.saveChoices.enqueue(Dialogs::SaveChoice::Save);
    QVERIFY(form.close());
    QVERIFY(
        server_->storedCard(QStringLiteral("contacts"), QStringLiteral("c1.vcf")).contains("Y"));

    // The next start fills in the remembered password; without "Remember" it would ask.
    fixture.open().setSecretStore(secrets_);
    fixture.dialogs.calls.clear();
    openBook(fixture, false);
    QVERIFY(fixture.dialogs.callsOf("login").first().endsWith(" *"));
    QVERIFY(secrets_.secrets.isEmpty());
    fixture.open().setSecretStore(secrets_);
    fixture.dialogs.calls.clear();
    openBook(fixture, false);
    QVERIFY(!fixture.dialogs.callsOf("login").first().endsWith(" *"));
}

void TestGuiServer::conflictChoices_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("onServer");  // what c1.vcf holds afterwards
    QTest::newRow("keep mine") << 0 << 3 << QByteArray("Mine");
    QTest::newRow("take the server's") << 1 << 3 << QByteArray("Theirs");
    QTest::newRow("keep both") << 2 << 4 << QByteArray("Theirs");
    QTest::newRow("closed: nothing decided") << -1 << 3 << QByteArray("Theirs");
}

void TestGuiServer::conflictChoices() {
    QFETCH(int, choice);
    QFETCH(int, rows);
    QFETCH(QByteArray, onServer);
    WindowFixture fixture;
    Form1& form = fixture.open();
    form.setSecretStore(secrets_);
    openBook(fixture, false);
    const QUrl book = server_->bookUrl(QStringLiteral("contacts"));
    DavClient other(server_->user(), server_->password());
    const std::optional<ServerCard> theirs =
        fetchCard(other, book, QStringLiteral("/alice/contacts/c1.vcf"));
    QVERIFY(theirs);
    const Upload change{
        Upload::Kind::Update, -1, theirs->href, theirs->etag,
        CardBytes(QByteArray(theirs->data).replace("Person 1", "Theirs"), CardEncoding::Utf8)};
    QCOMPARE(sendUpload(other, book, change).outcome, UploadResult::Outcome::Done);

    const qsizetype row = rowNamed(form.contacts(), QStringLiteral("1, Person"));
    QByteArray mine = form.contacts().at(row).card.bytes();
    form.contacts().setCard(row, CardBytes(mine.replace("Person 1", "Mine"), CardEncoding::Utf8));
    if (choice >= 0)
        fixture.dialogs.choiceAnswers.enqueue(choice);
    form.PushButton17_Click();
    QCOMPARE(fixture.dialogs.callsOf("choice").size(), 1);
    QCOMPARE(form.contacts().count(), rows);
    QVERIFY(server_->storedCard(QStringLiteral("contacts"), QStringLiteral("c1.vcf"))
                .contains(onServer));
    const Download after = downloadAll(other, book);
    QCOMPARE(qsizetype(after.cards.size()), choice == 2 ? 4 : 3);
}

// Clear List and Save to Server would empty the book for every program that shares it.
void TestGuiServer::deletingAsksFirst() {
    WindowFixture fixture;
    Form1& form = fixture.open();
    form.setSecretStore(secrets_);
    openBook(fixture, false);
    form.PushButton6_Click();
    DavClient other(server_->user(), server_->password());
    const QUrl book = server_->bookUrl(QStringLiteral("contacts"));
    for (const bool yes : {false, true}) {
        fixture.dialogs.yesNoAnswers.enqueue(yes);
        form.PushButton17_Click();
        QCOMPARE(fixture.dialogs.callsOf("risky").last(),
                 QStringLiteral("Pennacle|Saving deletes 3 contacts from \"Friends\" on "
                                "the server. Save anyway?"));
        QCOMPARE(downloadAll(other, book).cards.size(), yes ? 0u : 3u);
        QCOMPARE(form.windowTitle().endsWith(u'*'), !yes);
    }
}

void TestGuiServer::serverStoppedKeepsTheList() {
    WindowFixture fixture;
    Form1& form = fixture.open();
    form.setSecretStore(secrets_);
    fixture.import(QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Kept;One\r\nEND:VCARD\r\n"));
    const QString title = form.windowTitle();
    server_->stop();
    openBook(fixture, false);
    QCOMPARE(form.contacts().count(), 1);
    QCOMPARE(form.windowTitle(), title);
    const QStringList reports = fixture.dialogs.callsOf("warning");
    QCOMPARE(reports.size(), 1);
    QVERIFY(reports.first().contains(u"Application Error"));
}

QTEST_MAIN(TestGuiServer)
#include "gui_server.moc"
