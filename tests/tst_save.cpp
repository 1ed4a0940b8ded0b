#include "cards/importer.h"
#include "cards/save.h"
#include "core/ansiencoding.h"
#include "support/collectingreporter.h"
#include "support/files.h"
#include "support/savefailures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

Q_DECLARE_METATYPE(SaveFailure)

namespace {

const QString kTag = QStringLiteral("in Pennacle2021/08/31.Form1.PushButton1_Click ");

// A, imported from an LF file with a character ANSI has; B, edited, with characters it lacks.
const QString kCardA = QString::fromUtf8("BEGIN:VCARD\nN:Zoë\nEND:VCARD");
const QString kCardB = QString::fromUtf8("BEGIN:VCARD\r\nNOTE:5 € Ł 😀\r\nEND:VCARD");

void fill(std::vector<ContactEntry>& contacts, const QStringList& names, const QStringList& cards) {
    for (qsizetype i = 0; i < names.size(); ++i) {
        contacts.push_back({names[i], cards.value(i, QStringLiteral("card %1").arg(i + 1))});
    }
}

using Files = QMap<QString, QByteArray>;

// Every entry of the folder, hidden temporary files included.
QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A folder sync that records what the folder holds at each call and fails at one of them.
struct WatchedSync {
    static inline int failAtCall = 0;
    static inline QList<QStringList> seen;
    static void sync(const QString& folder) {
        seen << entriesOf(folder);
        if (seen.size() == failAtCall) {
            throw Failure(QStringLiteral("Input/output error"));
        }
    }
};

}  // namespace

class TestSave : public QObject {
    Q_OBJECT
private slots:
    void ansiKeepsEveryByteOfAnAnsiFile();
    void ansiLossCountsContactsAndNamesTheFirst();
    void importedFileSavesItsBytes_data();
    void importedFileSavesItsBytes();
    void oneFileBytes_data();
    void oneFileBytes();
    void eachContactBytes_data();
    void eachContactBytes();
    void fileNames_data();
    void fileNames();
    void savingAgainReplacesEarlierOutput();
    void emptyListWritesNothing();
    void failedFileLeavesEarlierFileAndLoopGoesOn_data();
    void failedFileLeavesEarlierFileAndLoopGoesOn();
    void failedOneFileLeavesEarlierFile_data();
    void failedOneFileLeavesEarlierFile();
    void stoppedOneFileLeavesEarlierFile();
    void thousandsOfContactsWithOneName();
    void batchReachesItsTargetsOnlyAfterASync_data();
    void batchReachesItsTargetsOnlyAfterASync();
    void linkedTargetIsWrittenThrough();
};

// What the reader decodes from any byte is written back as that byte.
void TestSave::ansiKeepsEveryByteOfAnAnsiFile() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.append(char(b));
    }
    QStringDecoder decoder("windows-1252");
    const QString text = decoder.decode(bytes);
    QCOMPARE(text.size(), 256);
    QCOMPARE(encodeAnsi(text), bytes);
}

// Exactly the cards whose save would write a "?" of its own count, in list order: characters
// the code page lacks, and bytes of a UTF-8 card that are no UTF-8.
void TestSave::ansiLossCountsContactsAndNamesTheFirst() {
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte.append(char(b));
    }
    const QString everyAnsiCharacter = QStringDecoder("windows-1252").decode(everyByte);
    std::vector<ContactEntry> contacts;
    fill(contacts, {"A", "B", "C", "D", "E"},
         {kCardA, everyAnsiCharacter, kCardB, QString(), QString::fromUtf8("N:Åsa;Ø")});
    contacts[3].card = CardBytes(QByteArray("N:\xC3 cut short"), CardEncoding::Utf8);
    contacts.push_back({"F", CardBytes(everyByte, CardEncoding::Ansi)});
    const AnsiLoss loss = findAnsiLoss(contacts);
    QCOMPARE(loss.contacts, 2);
    QCOMPARE(loss.firstName, QString("C"));
    QCOMPARE(findAnsiLoss({}).contacts, 0);
}

void TestSave::importedFileSavesItsBytes_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("saved");

    const auto card = [](const char* name) {
        return readBytes(QStringLiteral(PENNACLE_TEST_DATA "/cards/") + QLatin1String(name));
    };
    const QByteArray mark = "\xEF\xBB\xBF";
    for (const char* name :
         {"desktop-ansi-21.vcf", "phone-shiftjis-21.vcf", "phone-latin1-21.vcf"}) {
        QTest::addRow("%s read as ANSI, saved as ANSI", name)
            << card(name) << int(SaveEncoding::Ansi) << card(name);
    }
    for (const char* name : {"mail-service-30.vcf", "phone-cloud-30.vcf", "desktop-greek-40.vcf"}) {
        QTest::addRow("%s, UTF-8 without a mark, saved as UTF-8", name)
            << card(name) << int(SaveEncoding::Utf8) << mark + card(name);
        QTest::addRow("%s, UTF-8 with a mark, saved as UTF-8", name)
            << mark + card(name) << int(SaveEncoding::Utf8) << mark + card(name);
    }
    QTest::newRow("bytes that are no UTF-8, saved as UTF-8")
        << mark + "BEGIN:VCARD\r\nN:Bad\xFF\r\nNOTE:\xE2\x82\r\nEND:VCARD"
        << int(SaveEncoding::Utf8)
        << mark + "BEGIN:VCARD\r\nN:Bad\xFF\r\nNOTE:\xE2\x82\r\nEND:VCARD\r\n";
    // A save in the other encoding converts.
    QTest::newRow("ANSI saved as UTF-8")
        << QByteArray("BEGIN:VCARD\nN:M\xFCller \x80\nEND:VCARD") << int(SaveEncoding::Utf8)
        << mark + "BEGIN:VCARD\nN:M\xC3\xBCller \xE2\x82\xAC\nEND:VCARD\r\n";
    QTest::newRow("UTF-8 saved as ANSI")
        << mark + "BEGIN:VCARD\nN:M\xC3\xBCller \xE2\x82\xAC\nEND:VCARD" << int(SaveEncoding::Ansi)
        << QByteArray("BEGIN:VCARD\nN:M\xFCller \x80\nEND:VCARD\r\n");
    const QString utf16 = QStringLiteral("BEGIN:VCARD\r\nN:M\u00fcller\r\nEND:VCARD");
    QTest::newRow("UTF-16 saved as UTF-8")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)
        << int(SaveEncoding::Utf8) << mark + utf16.toUtf8() + "\r\n";
    // Cards keep their own LF line ends; the file puts CR LF after each.
    const QByteArray lf = card("desktop-lf-30.vcf");
    QTest::newRow("LF card, UTF-8")
        << lf << int(SaveEncoding::Utf8) << mark + lf.chopped(1) + "\r\n";
}

// A file imported and saved again, without an edit, in the encoding it was read in.
void TestSave::importedFileSavesItsBytes() {
    QFETCH(QByteArray, file);
    QFETCH(int, encoding);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    writeBytes(dir.filePath("in.vcf"), file);
    std::vector<ContactEntry> contacts;
    CollectingReporter importing;  // a file's bad bytes are the importer's to report
    QVERIFY(importCardFile(dir.filePath("in.vcf"), contacts, importing) > 0);
    CollectingReporter reporter;
    SaveContacts(contacts, {SaveLayout::OneFile, SaveEncoding(encoding), dir.filePath("out.vcf")},
                 reporter);
    QCOMPARE(reporter.reports, QStringList());
    QCOMPARE(readBytes(dir.filePath("out.vcf")), saved);
}

void TestSave::oneFileBytes_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ANSI") << int(SaveEncoding::Ansi)
                          << QByteArray(
                                 "BEGIN:VCARD\nN:Zo\xEB\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nNOTE:5 \x80 ? ?\r\nEND:VCARD\r\n");
    QTest::newRow("UTF-8") << int(SaveEncoding::Utf8)
                           << QByteArray(
                                  "\xEF\xBB\xBF"
                                  "BEGIN:VCARD\nN:Zo\xC3\xAB\nEND:VCARD\r\n"
                                  "BEGIN:VCARD\r\nNOTE:5 \xE2\x82\xAC \xC5\x81 "
                                  "\xF0\x9F\x98\x80\r\nEND:VCARD\r\n");
}

void TestSave::oneFileBytes() {
    QFETCH(int, encoding);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    std::vector<ContactEntry> contacts;
    fill(contacts, {"A", "A"}, {kCardA, kCardB});
    const QString path = dir.filePath("all");  // used as given, no extension added
    CollectingReporter reporter;
    const SaveOutcome outcome =
        SaveContacts(contacts, {SaveLayout::OneFile, SaveEncoding(encoding), path}, reporter);
    QCOMPARE(reporter.reports, QStringList());
    QCOMPARE(outcome.filesWritten, 1);
    QCOMPARE(readBytes(path), expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"all"});
}

void TestSave::eachContactBytes_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("ANSI") << int(SaveEncoding::Ansi)
                          << QByteArray("BEGIN:VCARD\nN:Zo\xEB\nEND:VCARD\r\n")
                          << QByteArray("BEGIN:VCARD\r\nNOTE:5 \x80 ? ?\r\nEND:VCARD\r\n");
    QTest::newRow("UTF-8") << int(SaveEncoding::Utf8)
                           << QByteArray(
                                  "\xEF\xBB\xBF"
                                  "BEGIN:VCARD\nN:Zo\xC3\xAB\nEND:VCARD\r\n")
                           << QByteArray(
                                  "\xEF\xBB\xBF"
                                  "BEGIN:VCARD\r\nNOTE:5 \xE2\x82\xAC \xC5\x81 "
                                  "\xF0\x9F\x98\x80\r\nEND:VCARD\r\n");
}

void TestSave::eachContactBytes() {
    QFETCH(int, encoding);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QTemporaryDir dir;
    std::vector<ContactEntry> contacts;
    fill(contacts, {QString::fromUtf8("Zoë"), "Zoë"}, {kCardA, kCardB});
    CollectingReporter reporter;
    const SaveOutcome outcome = SaveContacts(
        contacts, {SaveLayout::EachContact, SaveEncoding(encoding), dir.path()}, reporter);
    QCOMPARE(reporter.reports, QStringList());
    QCOMPARE(outcome.filesWritten, 2);
    QCOMPARE(readBytes(dir.filePath(QString::fromUtf8("Zoë.vcf"))), first);
    QCOMPARE(readBytes(dir.filePath(QString::fromUtf8("Zoë (2).vcf"))), second);
    QCOMPARE(QDir(dir.path()).count(), 4u);  // with "." and ".."
}

void TestSave::fileNames_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("eight characters removed")
        << QStringList{"A/B: C?", "x\\*<>|y"} << QStringList{"AB C.vcf", "xy.vcf"};
    // Cut short at the NUL, "Anna.vcf<NUL>" was written over the file of the contact "Anna".
    QTest::newRow("NUL removed") << QStringList{QString::fromLatin1("Anna.vcf\0x", 10), "Anna",
                                                QString(1, QChar(0))}
                                 << QStringList{"Anna.vcfx.vcf", "Anna.vcf", "unnamed.vcf"};
    QTest::newRow("quotes, blanks and dots stay")
        << QStringList{"He said \"hi\"", " x. "} << QStringList{"He said \"hi\".vcf", " x. .vcf"};
    QTest::newRow("empty names are unnamed")
        << QStringList{"", "/:*", "unnamed"}
        << QStringList{"unnamed.vcf", "unnamed (2).vcf", "unnamed (3).vcf"};
    QTest::newRow("collisions numbered, ignoring case")
        << QStringList{"Anna", "Bo", "Anna", "ANNA", "Bo"}
        << QStringList{"Anna.vcf", "Bo.vcf", "Anna (2).vcf", "ANNA (3).vcf", "Bo (2).vcf"};
    QTest::newRow("a number already taken by a name")
        << QStringList{"A (2)", "A", "A", "A (2)"}
        << QStringList{"A (2).vcf", "A.vcf", "A (3).vcf", "A (2) (2).vcf"};
    QTest::newRow("cleaned names collide")
        << QStringList{"a:b", "ab"} << QStringList{"ab.vcf", "ab (2).vcf"};
}

void TestSave::fileNames() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, files);
    std::vector<ContactEntry> contacts;
    fill(contacts, names, {});
    QCOMPARE(contactFileNames(contacts), files);
}

void TestSave::savingAgainReplacesEarlierOutput() {
    QTemporaryDir dir;
    writeBytes(dir.filePath("Anna.vcf"), QByteArray(5000, 'x'));
    std::vector<ContactEntry> contacts;
    fill(contacts, {"Anna"}, {"new"});
    CollectingReporter reporter;
    SaveContacts(contacts, {SaveLayout::EachContact, SaveEncoding::Ansi, dir.path()}, reporter);
    SaveContacts(contacts, {SaveLayout::EachContact, SaveEncoding::Ansi, dir.path()}, reporter);
    QCOMPARE(reporter.reports, QStringList());
    QCOMPARE(readBytes(dir.filePath("Anna.vcf")), QByteArray("new\r\n"));
    QCOMPARE(QDir(dir.path()).count(), 3u);
}

void TestSave::emptyListWritesNothing() {
    QTemporaryDir dir;
    std::vector<ContactEntry> contacts;
    CollectingReporter reporter;
    for (const SaveLayout layout : {SaveLayout::OneFile, SaveLayout::EachContact}) {
        const SaveOutcome outcome =
            SaveContacts(contacts, {layout, SaveEncoding::Utf8, dir.filePath("x.vcf")}, reporter);
        QCOMPARE(outcome.filesWritten, 0);
    }
    QVERIFY(reporter.reports.isEmpty());
    QCOMPARE(QDir(dir.path()).count(), 2u);
}

void TestSave::failedFileLeavesEarlierFileAndLoopGoesOn_data() {
    QTest::addColumn<SaveFailure>("failure");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QStringList>("failing");  // the files the reports name, in order
    QTest::addColumn<Files>("after");          // every file of the folder (Big.vcf held "earlier")
    QTest::newRow("full disk") << SaveFailure::FullDisk << QStringList{"Big", "Small"}
                               << QStringList{QString(200000, u'b'), "small"}
                               << QStringList{"Big.vcf"}
                               << Files{{"Big.vcf", "earlier"}, {"Small.vcf", "small\r\n"}};
    QTest::newRow("folder without write permission")
        << SaveFailure::ReadOnlyFolder << QStringList{"Big", "Small"} << QStringList{"b", "s"}
        << QStringList{"Big.vcf", "Small.vcf"} << Files{{"Big.vcf", "earlier"}};
    QTest::newRow("a name the file system rejects")
        << SaveFailure::NameTooLong << QStringList{"Small", kRejectedName, "Big"}
        << QStringList{"s", "n", "b"} << QStringList{kRejectedName + ".vcf"}
        << Files{{"Big.vcf", "b\r\n"}, {"Small.vcf", "s\r\n"}};
}

void TestSave::failedFileLeavesEarlierFileAndLoopGoesOn() {
    QFETCH(SaveFailure, failure);
    QFETCH(QStringList, names);
    QFETCH(QStringList, cards);
    QFETCH(QStringList, failing);
    QFETCH(Files, after);
    QTemporaryDir dir;
    writeBytes(dir.filePath("Big.vcf"), "earlier");
    std::vector<ContactEntry> contacts;
    fill(contacts, names, cards);
    CollectingReporter reporter;
    SaveOutcome outcome;
    {
        const SaveFailureScope scope(failure, dir.path());
        if (!scope.ok())
            QSKIP("an ordinary user is needed for this and cannot be switched to");
        outcome = SaveContacts(contacts, {SaveLayout::EachContact, SaveEncoding::Ansi, dir.path()},
                               reporter);
    }
    QCOMPARE(reporter.reports.size(), failing.size());
    for (qsizetype i = 0; i < failing.size(); ++i) {
        QVERIFY2(reporter.reports[i].contains(failingSaveStep(failure)),
                 qPrintable(reporter.reports[i]));
        QVERIFY(reporter.reports[i].contains(failing[i]));
    }
    QCOMPARE(outcome.filesWritten, names.size() - failing.size());
    QCOMPARE(outcome.filesFailed, failing.size());
    QCOMPARE(filesIn(dir.path()), after);  // no temporary file left behind
}

void TestSave::failedOneFileLeavesEarlierFile_data() {
    QTest::addColumn<SaveFailure>("failure");
    QTest::addColumn<QString>("name");
    QTest::newRow("full disk") << SaveFailure::FullDisk << "all.vcf";
    QTest::newRow("folder without write permission") << SaveFailure::ReadOnlyFolder << "all.vcf";
    QTest::newRow("a name the file system rejects") << SaveFailure::NameTooLong << kRejectedName;
}

void TestSave::failedOneFileLeavesEarlierFile() {
    QFETCH(SaveFailure, failure);
    QFETCH(QString, name);
    QTemporaryDir dir;
    writeBytes(dir.filePath("all.vcf"), "earlier");
    std::vector<ContactEntry> contacts;
    fill(contacts, {"A", "B", "C"}, {QString(60000, u'a'), QString(60000, u'b'), "c"});
    CollectingReporter reporter;
    SaveOutcome outcome;
    {
        const SaveFailureScope scope(failure, dir.path());
        if (!scope.ok())
            QSKIP("an ordinary user is needed for this and cannot be switched to");
        outcome = SaveContacts(
            contacts, {SaveLayout::OneFile, SaveEncoding::Utf8, dir.filePath(name)}, reporter);
    }
    QCOMPARE(reporter.reports.size(), 1);
    QVERIFY(reporter.reports[0].contains(kTag + "at line 114"));
    QCOMPARE(outcome.filesFailed, 1);
    QCOMPARE(filesIn(dir.path()), (Files{{"all.vcf", "earlier"}}));
}

void TestSave::stoppedOneFileLeavesEarlierFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("all.vcf");
    writeBytes(path, "earlier");
    std::vector<ContactEntry> contacts;
    fill(contacts, {"A", "B", "C"}, {});
    QList<qsizetype> seen;
    CollectingReporter reporter;
    const SaveOutcome outcome =
        SaveContacts(contacts, {SaveLayout::OneFile, SaveEncoding::Ansi, path}, reporter,
                     [&](qsizetype done, qsizetype total) {
                         seen << done << total;
                         return done < 2;
                     });
    QVERIFY(outcome.stopped);
    QCOMPARE(outcome.filesWritten, 0);
    QCOMPARE(seen, (QList<qsizetype>{1, 3, 2, 3}));
    QVERIFY(reporter.reports.isEmpty());
    QCOMPARE(readBytes(path), QByteArray("earlier"));
    QCOMPARE(QDir(dir.path()).count(), 3u);
}

// More contacts than a 16-bit counter holds, all named alike; the names stay linear to make.
void TestSave::thousandsOfContactsWithOneName() {
    std::vector<ContactEntry> contacts;
    fill(contacts, QStringList(40000, "Same"), {});
    const QStringList names = contactFileNames(contacts);
    QCOMPARE(names.size(), 40000);
    QCOMPARE(names.last(), QStringLiteral("Same (40000).vcf"));
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 40000);

    QTemporaryDir dir;
    std::vector<ContactEntry> few;
    fill(few, QStringList(40, "Same"), {});
    CollectingReporter reporter;
    const SaveOutcome outcome =
        SaveContacts(few, {SaveLayout::EachContact, SaveEncoding::Utf8, dir.path()}, reporter);
    QCOMPARE(outcome.filesWritten, 40);
    QVERIFY(reporter.reports.isEmpty());
    QCOMPARE(readBytes(dir.filePath("Same (40).vcf")), QByteArray("\xEF\xBB\xBF"
                                                                  "card 40\r\n"));
}

void TestSave::batchReachesItsTargetsOnlyAfterASync_data() {
    QTest::addColumn<int>("failAtCall");
    QTest::addColumn<int>("reportLine");
    QTest::addColumn<QByteArray>("anna");
    QTest::addColumn<QStringList>("entries");
    const QStringList both{"Anna.vcf", "Bo.vcf"};
    QTest::newRow("both syncs pass") << 0 << 0 << QByteArray("new\r\n") << both;
    // Nothing may replace a target before its data is on disk.
    QTest::newRow("first sync fails")
        << 1 << 120 << QByteArray("earlier") << QStringList{"Anna.vcf"};
    QTest::newRow("sync after the renames fails") << 2 << 124 << QByteArray("new\r\n") << both;
}

void TestSave::batchReachesItsTargetsOnlyAfterASync() {
    QFETCH(int, failAtCall);
    QFETCH(int, reportLine);
    QFETCH(QByteArray, anna);
    QFETCH(QStringList, entries);
    QTemporaryDir dir;
    writeBytes(dir.filePath("Anna.vcf"), "earlier");
    std::vector<ContactEntry> contacts;
    fill(contacts, {"Anna", "Bo"}, {"new", "bo"});
    WatchedSync::failAtCall = failAtCall;
    WatchedSync::seen.clear();
    const FolderSync previous = replaceFolderSync(&WatchedSync::sync);
    CollectingReporter reporter;
    const SaveOutcome outcome =
        SaveContacts(contacts, {SaveLayout::EachContact, SaveEncoding::Ansi, dir.path()}, reporter);
    replaceFolderSync(previous);

    // One sync for the whole batch while only temporary files hold the new cards, one after.
    QCOMPARE(WatchedSync::seen.size(), failAtCall == 1 ? 1 : 2);
    const QStringList beforeRenames = WatchedSync::seen[0];
    QCOMPARE(beforeRenames.size(), 3);
    QCOMPARE(beforeRenames.filter(QRegularExpression("^\\..*\\.tmp$")).size(), 2);
    QCOMPARE(readBytes(dir.filePath("Anna.vcf")), anna);
    QCOMPARE(entriesOf(dir.path()), entries);
    if (reportLine == 0) {
        QCOMPARE(reporter.reports, QStringList());
        QCOMPARE(outcome.filesWritten, 2);
        QCOMPARE(WatchedSync::seen[1], (QStringList{"Anna.vcf", "Bo.vcf"}));
        return;
    }
    QCOMPARE(reporter.reports.size(), 1);
    QVERIFY2(reporter.reports[0].contains(kTag + QStringLiteral("at line %1").arg(reportLine)),
             qPrintable(reporter.reports[0]));
    QVERIFY(reporter.reports[0].contains("Input/output error"));
    QCOMPARE(outcome.filesWritten, reportLine == 120 ? 0 : 2);
    QCOMPARE(outcome.filesFailed, reportLine == 120 ? 2 : 0);
}

// A target that is a link keeps pointing where it did; the file it names gets the card.
void TestSave::linkedTargetIsWrittenThrough() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("real"));
    writeBytes(dir.filePath("real/card.vcf"), "earlier");
    QVERIFY(QFile::link(dir.filePath("real/card.vcf"), dir.filePath("Anna.vcf")));
    std::vector<ContactEntry> contacts;
    fill(contacts, {"Anna", "Bo"}, {"new", "bo"});
    CollectingReporter reporter;
    const SaveOutcome outcome =
        SaveContacts(contacts, {SaveLayout::EachContact, SaveEncoding::Ansi, dir.path()}, reporter);
    QCOMPARE(reporter.reports, QStringList());
    QCOMPARE(outcome.filesWritten, 2);
    QVERIFY(QFileInfo(dir.filePath("Anna.vcf")).isSymLink());
    QCOMPARE(readBytes(dir.filePath("real/card.vcf")), QByteArray("new\r\n"));
    QCOMPARE(entriesOf(dir.path()), (QStringList{"Anna.vcf", "Bo.vcf", "real"}));
}

QTEST_GUILESS_MAIN(TestSave)
#include "tst_save.moc"
