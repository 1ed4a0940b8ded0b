// Every file under data/cards imports into the names and forms stored beside it: NAME.vcf,
// NAME.names.txt as `pennacle-cli names NAME.vcf` prints it, and per contact the form as
// `pennacle-cli form` prints it: NAME.form.json for the first, NAME.K.form.json for contact K.
// Adding a case means adding the files. PENNACLE_UPDATE_GOLDEN=1 rewrites the stored names and
// forms from today's output, for review. That the cards settle after a rebuild is
// tst_roundtrip's part. Every shipped sample under Samples/ likewise loads, as "Load
// Sample/Example Files" takes it, into data/samples/NAME.form.json, and settles at once.

// The form's JSON form lives in the command-line program, so its source is compiled in here.
#include "cli/formjson.cpp"

#include "cards/displayname.h"
#include "cards/importer.h"
#include "cards/loader.h"
#include "cards/propertytable.h"
#include "cards/rebuild.h"
#include "cards/save.h"
#include "support/clirun.h"
#include "support/collectingreporter.h"
#include "support/files.h"
#include "vcard/textfile.h"
#include "vcard/writer21.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

namespace {

QDir cardsDir() {
    return QDir(QStringLiteral(PENNACLE_TEST_DATA "/cards"));
}

QStringList cardFiles() {
    return cardsDir().entryList({QStringLiteral("*.vcf")}, QDir::Files);
}

// NAME.form.json for the first contact, NAME.K.form.json for contact K.
QString formFile(const QString& card, int contact) {
    const QString base = card.chopped(4);
    return contact == 1 ? base + QStringLiteral(".form.json")
                        : base + QStringLiteral(".%1.form.json").arg(contact);
}

bool updating() {
    return qEnvironmentVariableIsSet("PENNACLE_UPDATE_GOLDEN");
}

void compareWithStored(const QByteArray& out, const QString& path) {
    if (updating())
        writeBytes(path, out);
    QCOMPARE(QString::fromUtf8(out), QString::fromUtf8(readBytes(path)));
}

}  // namespace

class TestGoldenCards : public QObject {
    Q_OBJECT
private slots:
    void namesAsStored_data() {
        QTest::addColumn<QString>("card");
        const QStringList cards = cardFiles();
        QVERIFY(!cards.isEmpty());
        for (const QString& name : cards)
            QTest::newRow(qPrintable(name)) << cardsDir().filePath(name);
    }

    // The list's names, and a stored form for every contact and no other.
    void namesAsStored() {
        QFETCH(QString, card);
        const CliRun run = runCli({QStringLiteral("names"), card});
        QCOMPARE(run.status, 0);
        compareWithStored(run.out, card.chopped(4) + QStringLiteral(".names.txt"));
        const int contacts = int(run.out.count('\n'));
        for (int k = 1; updating() && k <= contacts; ++k) {
            writeBytes(formFile(card, k), runCli({QStringLiteral("form"), card,
                                                  QStringLiteral("--index"), QString::number(k)})
                                              .out);
        }
        for (int k = 1; k <= contacts + 1; ++k) {
            QVERIFY2(QFile::exists(formFile(card, k)) == (k <= contacts),
                     qPrintable(formFile(card, k)));
        }
    }

    void loadsIntoItsForm_data() {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("contact");
        for (const QString& name : cardFiles()) {
            const QString card = cardsDir().filePath(name);
            for (int k = 1; QFile::exists(formFile(card, k)); ++k)
                QTest::addRow("%s %d", qPrintable(name), k) << card << k;
        }
    }

    void loadsIntoItsForm() {
        QFETCH(QString, card);
        QFETCH(int, contact);
        const CliRun run = runCli(
            {QStringLiteral("form"), card, QStringLiteral("--index"), QString::number(contact)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        compareWithStored(run.out, formFile(card, contact));
    }

    void editKeepsOtherLines_data() { loadsIntoItsForm_data(); }

    // An edit of the note keeps every line that no box shows, as the card has it (a 3.0/4.0
    // line in its 2.1 form), and the edited card settles at its second rebuild.
    void editKeepsOtherLines() {
        QFETCH(QString, card);
        QFETCH(int, contact);
        CollectingReporter reporter;
        const std::vector<ContactEntry> entries = scanCards(readCardFile(card), reporter);
        const CardBytes& bytes = entries.at(size_t(contact - 1)).card;
        CardForm form = loadCardForm(bytes, reporter);
        form[Notes] = QStringLiteral("edited");
        const QDateTime now(QDate(2021, 8, 31), QTime(12, 0, 1));
        const CardBytes edited = rebuildCard(form, now, reporter);
        const QString text = edited.text();
        CardLineWalker lines(bytes);
        while (lines.next()) {
            const QString line = lines.decodedText().toString();
            if (!isPropertyLine(line))
                continue;
            const PropertyRow* row = propertyRowOf(propertyPartOf(line));
            if (isFrameProperty(propertyPartOf(line)) || (row && row->rule != Rule::None))
                continue;
            const QString raw =
                decodeText(QByteArrayView(bytes.bytes())
                               .sliced(lines.offset(), lines.endOffset() - lines.offset()),
                           bytes.encoding());
            const QString kept = lines.dropsBlank() ? lineIn21(withoutLineEnd(QStringView(line)))
                                                    : withoutLineEnd(QStringView(raw)).toString();
            QVERIFY2(text.contains(kept + QStringLiteral("\r\n")), qPrintable(kept));
        }
        const CardBytes again = rebuildCard(loadCardForm(edited, reporter), now, reporter);
        QCOMPARE(rebuildCard(loadCardForm(again, reporter), now, reporter).text(), again.text());
        QCOMPARE(reporter.reports, QStringList());
    }

    void savedInItsOwnEncodingKeepsEveryCard_data() { namesAsStored_data(); }

    // A card nobody edited keeps its bytes when the file is saved in the encoding its cards
    // are held in (a UTF-16 file's cards are UTF-8): saved and imported again, each card is
    // the same bytes in the same encoding.
    void savedInItsOwnEncodingKeepsEveryCard() {
        QFETCH(QString, card);
        CollectingReporter reporter;
        ContactList contacts;
        QVERIFY(importCardFile(card, contacts, reporter) > 0);
        const bool ansi = contacts.at(0).card.encoding() == CardEncoding::Ansi;
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("saved.vcf"));
        SaveContacts(contacts,
                     {SaveLayout::OneFile, ansi ? SaveEncoding::Ansi : SaveEncoding::Utf8, saved},
                     reporter);
        ContactList again;
        QCOMPARE(importCardFile(saved, again, reporter), contacts.count());
        for (qsizetype i = 0; i < contacts.count(); ++i)
            QCOMPARE(again.at(i).card, contacts.at(i).card);
        QCOMPARE(reporter.reports, QStringList());
    }

    void sampleLoadsAndSettles_data() {
        QTest::addColumn<QString>("sample");
        // Every file, as the program loads every file of the folder.
        const QDir dir(QStringLiteral(PENNACLE_SAMPLES_DIR));
        const QStringList samples = dir.entryList(QDir::Files | QDir::Hidden);
        QVERIFY(samples.size() >= 5);
        for (const QString& name : samples)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    // The whole file is one card text; it shows a name and its fields, and an edit that
    // changes nothing settles at once: the second rebuild equals the first.
    void sampleLoadsAndSettles() {
        QFETCH(QString, sample);
        CollectingReporter reporter;
        const QString text = ReadWholeFile(sample);
        QVERIFY(!GetName(text, reporter).isEmpty());
        const CardForm form = loadCardForm(text, reporter);
        compareWithStored(cli::formToJson(form), QStringLiteral(PENNACLE_TEST_DATA "/samples/") +
                                                     QFileInfo(sample).completeBaseName() +
                                                     QStringLiteral(".form.json"));

        const QDateTime now(QDate(2021, 8, 31), QTime(12, 0, 1));
        const CardBytes c1 = rebuildCard(form, now, reporter);
        const CardBytes c2 = rebuildCard(loadCardForm(c1, reporter), now, reporter);
        QCOMPARE(c2, c1);
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join('\n')));
    }
};

QTEST_APPLESS_MAIN(TestGoldenCards)
#include "tst_goldencards.moc"
