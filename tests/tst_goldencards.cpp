// Every file under data/cards imports into the names and forms stored beside it: NAME.vcf,
// NAME.names.txt as `pennacle-cli names NAME.vcf` prints it, and per contact the form as
// `pennacle-cli form` prints it: NAME.form.json for the first, NAME.K.form.json for contact K.
// Adding a case means adding the files. PENNACLE_UPDATE_GOLDEN=1 rewrites the stored names and
// forms from today's output, for review. That the cards settle after a rebuild is
// tst_roundtrip's part. Every shipped sample under Samples/ likewise loads, as "Load
// Sample/Example Files" takes it, into data/samples/NAME.form.json, and settles at once.

// The form's JSON form lives in the command-line program, so its source is compiled in here.
#include "cli/formjson.cpp"

#include "cards/convert.h"
#include "cards/displayname.h"
#include "cards/importer.h"
#include "cards/loader.h"
#include "cards/propertytable.h"
#include "cards/propertyvalues.h"
#include "cards/rebuild.h"
#include "cards/save.h"
#include "support/clirun.h"
#include "support/collectingreporter.h"
#include "support/files.h"
#include "vcard/recode.h"
#include "vcard/textfile.h"
#include "vcard/writer21.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

Q_DECLARE_METATYPE(pennacle::CardBytes)

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

// The file that "Save As VCF" writes of the list in one file.
QByteArray savedFile(std::span<const ContactEntry> contacts, SaveEncoding encoding) {
    QTemporaryDir dir;
    CollectingReporter reporter;
    const QString path = dir.filePath(QStringLiteral("saved.vcf"));
    SaveContacts(contacts, {SaveLayout::OneFile, encoding, path, {}}, reporter);
    return reporter.reports.isEmpty() ? readBytes(path) : reporter.reports.join('\n').toUtf8();
}

void importInto(std::vector<ContactEntry>& contacts, const QString& card, bool edited) {
    CollectingReporter reporter;
    appendEntries(contacts, scanCards(readCardFile(card), reporter));
    const QDateTime now(QDate(2021, 8, 31), QTime(12, 0, 1));
    for (size_t row = 0; edited && row < contacts.size(); ++row)
        contacts[row].card = rebuildCard(loadCardForm(contacts[row].card, reporter), now, reporter);
}

// What a form shows, as far as it can stay the same in another version: a photo by its data
// up to the first "=", where loading ends Base64 data (its caption and type follow the
// version's way of naming the format); a kept line by its property name (its value is spelled in
// the 2.1 form of the converted line, which shows line breaks as "=0D=0A" and reads a value in an
// ANSI file without a set in none); an e-mail type only between 3.0 and 4.0 (a 2.1 card's type is
// its first parameter, a later one's all its type words). The UID that conversion adds to a card
// without one is left out.
CardForm shownForm(CardForm form, bool emailTypes) {
    for (PhotoEntry& photo : form.photos) {
        photo.PhotoData.truncate(photo.PhotoData.indexOf(u'=') + 1);
        photo.PhotoLabel.clear();
        photo.PhotoType.clear();
    }
    OtherLines shown;
    for (const QString& line : form.otherLines.toList()) {
        const QString text = shownOtherLine(line);
        if (text.startsWith(kUidProperty + QLatin1StringView(": ")))
            continue;
        shown.append(QStringView(text).first(std::max<qsizetype>(0, text.indexOf(u": "))));
    }
    form.otherLines = shown;
    if (!emailTypes)
        form.Combo2.clear();
    return form;
}

// Every card of the golden files, and every shipped sample as one card.
std::vector<std::pair<QString, CardBytes>> everyCard() {
    std::vector<std::pair<QString, CardBytes>> cards;
    CollectingReporter reporter;
    for (const QString& name : cardFiles()) {
        const std::vector<ContactEntry> entries =
            scanCards(readCardFile(cardsDir().filePath(name)), reporter);
        for (size_t k = 0; k < entries.size(); ++k)
            cards.emplace_back(QStringLiteral("%1 %2").arg(name).arg(k + 1), entries[k].card);
    }
    const QDir samples(QStringLiteral(PENNACLE_SAMPLES_DIR));
    for (const QString& name : samples.entryList(QDir::Files | QDir::Hidden))
        cards.emplace_back(name, CardBytes(ReadWholeFile(samples.filePath(name))));
    return cards;
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
            QString kept = lines.dropsBlank() ? lineIn21(withoutLineEnd(QStringView(line)))
                                              : withoutLineEnd(QStringView(raw)).toString();
            // The rebuilt card is UTF-8: a line of an ANSI card in another set is relabelled.
            if (bytes.encoding() == CardEncoding::Ansi)
                kept = lineForUtf8Card(kept);
            QVERIFY2(text.contains(kept + QStringLiteral("\r\n")), qPrintable(kept));
        }
        const CardBytes again = rebuildCard(loadCardForm(edited, reporter), now, reporter);
        QCOMPARE(rebuildCard(loadCardForm(again, reporter), now, reporter).text(), again.text());
        QCOMPARE(reporter.reports, QStringList());
    }

    void savesAsStored_data() {
        QTest::addColumn<QString>("card");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("stored");
        for (const QString& name : cardFiles()) {
            const QString card = cardsDir().filePath(name);
            for (const bool edited : {false, true}) {
                for (const bool utf8 : {false, true}) {
                    const QString stored = card.chopped(4) + (edited ? ".edited" : "") +
                                           (utf8 ? ".utf8.saved" : ".ansi.saved");
                    if (QFile::exists(stored))
                        QTest::newRow(qPrintable(QFileInfo(stored).fileName()))
                            << card << edited << utf8 << stored;
                }
            }
        }
    }

    // NAME.ansi.saved and NAME.utf8.saved: the file saved as it was imported; with ".edited",
    // after every contact was rebuilt from its form.
    void savesAsStored() {
        QFETCH(QString, card);
        QFETCH(bool, edited);
        QFETCH(bool, utf8);
        QFETCH(QString, stored);
        std::vector<ContactEntry> contacts;
        importInto(contacts, card, edited);
        const QByteArray saved =
            savedFile(contacts, utf8 ? SaveEncoding::Utf8 : SaveEncoding::Ansi);
        if (updating())
            writeBytes(stored, saved);
        QCOMPARE(saved, readBytes(stored));
    }

    void ownEncodingKeepsBytes_data() {
        QTest::addColumn<QString>("card");
        for (const QString& name : cardFiles())
            QTest::newRow(qPrintable(name)) << cardsDir().filePath(name);
    }

    // A card saved in the encoding it was read in is saved as its bytes.
    void ownEncodingKeepsBytes() {
        QFETCH(QString, card);
        std::vector<ContactEntry> contacts;
        importInto(contacts, card, false);
        QVERIFY(!contacts.empty());
        const bool utf8 = contacts.at(0).card.encoding() == CardEncoding::Utf8;
        QByteArray expected = utf8 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        for (const ContactEntry& contact : contacts)
            expected.append(contact.card.bytes()).append("\r\n");
        QCOMPARE(savedFile(contacts, utf8 ? SaveEncoding::Utf8 : SaveEncoding::Ansi), expected);
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

    void convertedShowsTheSameForm_data();
    void convertedShowsTheSameForm();
};

void TestGoldenCards::convertedShowsTheSameForm_data() {
    QTest::addColumn<CardBytes>("card");
    for (const auto& [name, card] : everyCard())
        QTest::newRow(qPrintable(name)) << card;
}

// Every card written as 3.0 and as 4.0 loads into the form it loaded into before, and the
// versions settle: 4.0 to 3.0 and back gives the same card, and what we wrote is written as read.
void TestGoldenCards::convertedShowsTheSameForm() {
    QFETCH(CardBytes, card);
    CollectingReporter reporter;
    const bool version21 = !foldingDropsBlank(card.bytes());
    // Line by line, so that a failure names the field.
    const auto shown = [&](const CardBytes& c) {
        return QString::fromUtf8(cli::formToJson(shownForm(loadCardForm(c, reporter), !version21)))
            .split(u'\n');
    };
    const QStringList before = shown(card);
    const CardBytes v40 = convertCard(card, CardVersion::V40, reporter);
    const CardBytes v30 = convertCard(v40, CardVersion::V30, reporter);
    for (const CardBytes& converted : {v40, v30, convertCard(card, CardVersion::V30, reporter)}) {
        QCOMPARE(converted.encoding(), CardEncoding::Utf8);
        QCOMPARE(shown(converted), before);
    }
    // A valid 4.0 card is written as read; from our own spelling on, nothing changes.
    const CardBytes again = convertCard(v30, CardVersion::V40, reporter);
    if (v40.bytes() != card.bytes())
        QCOMPARE(again, v40);
    QCOMPARE(convertCard(again, CardVersion::V30, reporter), v30);
    QCOMPARE(convertCard(again, CardVersion::V40, reporter), again);
    QCOMPARE(convertCard(v30, CardVersion::V30, reporter), v30);
    QCOMPARE(reporter.reports, QStringList());
}

QTEST_APPLESS_MAIN(TestGoldenCards)
#include "tst_goldencards.moc"
