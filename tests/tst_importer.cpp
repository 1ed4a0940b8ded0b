#include "cards/importer.h"
#include "contacts/contactlist.h"
#include "support/collectingreporter.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(PENNACLE_TEST_DATA "/") + QLatin1String(name);
}

QString card(const QString& name, const QString& lineEnd = QStringLiteral("\r\n")) {
    return QStringLiteral("BEGIN:VCARD") + lineEnd + QStringLiteral("VERSION:2.1") + lineEnd +
           QStringLiteral("N:") + name + lineEnd + QStringLiteral("END:VCARD");
}

// The window's list takes an import's rows as one batch.
qsizetype importInto(ContactList& list, const QString& path, Reporter& reporter) {
    std::vector<ContactEntry> rows;
    const qsizetype added = importCardFile(path, rows, reporter);
    list.append(std::move(rows));
    return added;
}

}  // namespace

class TestImporter : public QObject {
    Q_OBJECT
private slots:
    void scanCards_data();
    void scanCards();
    void importsEachEncoding_data();
    void importsEachEncoding();
    void holdsTheBytesOfTheFile_data();
    void holdsTheBytesOfTheFile();
    void appendsInOneBatch();
    void keepsTheCurrentRow();
    void appendsAfterTheRowsThere();
    void joinsPiecesOfALongUtf16File();
    void unreadableFileAddsNothing();
    void reportsProgressAndCanBeStopped();
    void importsBlockByBlockAsAWhole_data();
    void importsBlockByBlockAsAWhole();
    void fileImportReportsBytesAndCanBeStopped();
};

void TestImporter::scanCards_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("cards");

    const QString a = card(QStringLiteral("Doe;John"));
    const QString b = card(QStringLiteral("Roe;Jane"));
    const QString c = card(QStringLiteral(";Max;;"));

    QTest::newRow("empty text") << QString() << QStringList() << QStringList();
    QTest::newRow("no card") << QStringLiteral("hello\r\n") << QStringList() << QStringList();
    QTest::newRow("three cards, text around")
        << QStringLiteral("junk\r\n") + a + QStringLiteral("\r\n\r\nnote\r\n") + b +
               QStringLiteral("\r\n\r\n") + c + QStringLiteral("\r\ntrailer")
        << QStringList{"Doe, John", "Roe, Jane", "Max"} << QStringList{a, b, c};
    const QString mixedCase = QStringLiteral("begin:vCard\r\nN:Doe;John\r\nEnd:VCard");
    QTest::newRow("markers in any case")
        << mixedCase + QStringLiteral("\r\n") << QStringList{"Doe, John"} << QStringList{mixedCase};
    QTest::newRow("last card unterminated")
        << a + QStringLiteral("\r\n") + QStringLiteral("BEGIN:VCARD\r\nN:Roe;Jane\r\n")
        << QStringList{"Doe, John"} << QStringList{a};
    const QString nested = QStringLiteral(
        "BEGIN:VCARD\r\nN:Doe;John\r\nBEGIN:VCARD\r\n"
        "N:Roe;Jane\r\nEND:VCARD");
    QTest::newRow("second BEGIN inside a card") << nested + QStringLiteral("\r\nEND:VCARD\r\n")
                                                << QStringList{"Roe, Jane"} << QStringList{nested};
    // Only a card that holds nothing is left out; the others are named by what they hold.
    const QString onlyFn = QStringLiteral("BEGIN:VCARD\r\nFN:No N\r\nEND:VCARD");
    const QString onlyNote = QStringLiteral("BEGIN:VCARD\r\nN:;;;;\r\nNOTE:x\r\nEND:VCARD");
    QTest::newRow("empty cards skipped, nameless ones kept")
        << card(QStringLiteral(";;;;")) + QStringLiteral("\r\n") + onlyFn +
               QStringLiteral("\r\nBEGIN:VCARD\r\nEND:VCARD\r\n") + onlyNote + b
        << QStringList{"No N", "(no name)", "Roe, Jane"} << QStringList{onlyFn, onlyNote, b};
    const QString lfOnly = card(QStringLiteral("Doe;John"), QStringLiteral("\n"));
    QTest::newRow("LF line ends kept")
        << lfOnly + QStringLiteral("\n") << QStringList{"Doe, John"} << QStringList{lfOnly};
    // A marker inside a line ends nothing: a note that says "send:vCard", a 3.0 AGENT whose
    // inline card follows an escaped line break. Blanks may stand before a marker that ends
    // the card, and text after it.
    const QString mention = QStringLiteral(
        "BEGIN:VCARD\r\nN:Doe;John\r\nNOTE:Please send:vCard updates\r\nTEL:1\r\nEND:VCARD");
    const QString agent = QStringLiteral(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Roe;Jane\r\nAGENT:BEGIN:VCARD\\nFN:Joe\\nEND:VCARD\\n\r\n"
        "EMAIL:j@example.com\r\n \t END:VCARD");
    const QString textAfter = QStringLiteral("BEGIN:VCARD\r\nN:Max\r\nEND:VCARD");
    QTest::newRow("END:VCARD only where a line starts")
        << mention + QStringLiteral("\r\n") + agent + QStringLiteral("\r\n") + textAfter +
               QStringLiteral("X;END:VCARD\r\n")
        << QStringList{"Doe, John", "Roe, Jane", "Max,"} << QStringList{mention, agent, textAfter};
    // Old Mac exports end lines in CR alone.
    const QString crOnly = QStringLiteral("BEGIN:VCARD\rVERSION:2.1\rN:Doe;John\rTEL:1\rEND:VCARD");
    QTest::newRow("CR line ends") << crOnly + QStringLiteral("\r") + crOnly
                                  << QStringList{"Doe, John", "Doe, John"}
                                  << QStringList{crOnly, crOnly};
    QTest::newRow("markers need no line start")
        << QStringLiteral("x") + a + QStringLiteral("y") + b
        << QStringList{"Doe, John", "Roe, Jane"} << QStringList{a, b};
    QTest::newRow("same card twice")
        << a + a << QStringList{"Doe, John", "Doe, John"} << QStringList{a, a};
    // The markers match their ASCII letters in either case and nothing else: of all
    // characters only U+017F and the Kelvin sign fold into ASCII, to letters no marker has.
    const QString dotted = QStringLiteral("BEG\u0130N:VCARD\r\nN:Doe;John\r\nEND:VCARD");
    QTest::newRow("dotted capital I is no I") << dotted << QStringList() << QStringList();
    QTest::newRow("dotless small i is no i")
        << QStringLiteral("beg\u0131n:vcard\r\nN:Doe\r\nend:vcard") << QStringList()
        << QStringList();
    QTest::newRow("fullwidth letters are none")
        << QStringLiteral("\uff22\uff25\uff27\uff29\uff2e:VCARD\r\nN:Doe\r\nEND:VCARD")
        << QStringList() << QStringList();
    const QString foldsToAscii =
        QStringLiteral("BEGIN:VCARD\r\nN:\u017fmith;\u212aarl\r\nEND:VCARD");
    QTest::newRow("long s and Kelvin sign only in the text")
        << QStringLiteral("BEGIN:\u017fCARD ") + foldsToAscii + QStringLiteral("END:VCAR\u212a")
        << QStringList{QStringLiteral("\u017fmith, \u212aarl")} << QStringList{foldsToAscii};
    QTest::newRow("marker broken by a line end")
        << QStringLiteral("BEGIN:\r\nVCARD\r\nN:Doe\r\nEND:VCARD") << QStringList()
        << QStringList();
    const QString lowerEnd = QStringLiteral("BEGIN:VCARD\r\nN:Doe;Jo\r\nbEgIn:vcard\r\neNd:vCaRd");
    QTest::newRow("mixed case, nested BEGIN, colons next to N and V")
        << QStringLiteral("N:V D:V BEGIN:V ") + lowerEnd + QStringLiteral("ND:VCARD")
        << QStringList{"Doe, Jo"} << QStringList{lowerEnd};
}

void TestImporter::scanCards() {
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QFETCH(QStringList, cards);

    CollectingReporter reporter;
    const std::vector<ContactEntry> entries = pennacle::scanCards(text, reporter);
    QStringList gotNames;
    QStringList gotCards;
    for (const ContactEntry& entry : entries) {
        gotNames << entry.Text;
        gotCards << entry.card.text();
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotCards, cards);
    QCOMPARE(reporter.reports, QStringList());
}

void TestImporter::importsEachEncoding_data() {
    QTest::addColumn<QString>("file");
    for (const char* name : {"ansi-windows-1252.vcf", "utf8-with-mark.vcf", "utf16le-with-mark.vcf",
                             "utf32le-mark.vcf"}) {
        QTest::newRow(name) << dataFile(name);
    }
}

void TestImporter::importsEachEncoding() {
    QFETCH(QString, file);
    std::vector<ContactEntry> list;
    CollectingReporter reporter;
    QCOMPARE(importCardFile(file, list, reporter), 1);
    QCOMPARE(list.at(0).Text, QStringLiteral("M\u00fcller, J\u00f6rg"));
    const QString text = list.at(0).card.text();
    QVERIFY(text.startsWith(QStringLiteral("BEGIN:VCARD\r\n")));
    QVERIFY(text.endsWith(QStringLiteral("\u20ac caf\u00e9\r\nEND:VCARD")));
}

using HeldCards = QList<std::tuple<QByteArray, int, QString>>;

void TestImporter::holdsTheBytesOfTheFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<HeldCards>("cards");  // bytes, encoding, name
    QTest::addColumn<int>("badLine");      // of a marked UTF-8 file's first bad byte, or 0
    const int ansi = int(CardEncoding::Ansi);
    const int utf8 = int(CardEncoding::Utf8);
    const QByteArray card = "BEGIN:VCARD\r\nN:M\xC3\xBCller\r\nEND:VCARD";
    const QString text = QString::fromUtf8(card);
    QTest::newRow("Windows-1252") << QByteArray("BEGIN:VCARD\r\nN:M\xFCller;\x80\r\nEND:VCARD\r\n")
                                  << HeldCards{{"BEGIN:VCARD\r\nN:M\xFCller;\x80\r\nEND:VCARD",
                                                ansi, "M\u00fcller, \u20ac"}}
                                  << 0;
    QTest::newRow("UTF-8 with its mark and bytes that are no UTF-8")
        << QByteArray(
               "\xEF\xBB\xBF"
               "BEGIN:VCARD\r\nN:Bad\xFF\r\nNOTE:\xE2\x82\r\nEND:VCARD")
        << HeldCards{{"BEGIN:VCARD\r\nN:Bad\xFF\r\nNOTE:\xE2\x82\r\nEND:VCARD", utf8, "Bad\ufffd,"}}
        << 2;
    QTest::newRow("UTF-16 becomes UTF-8")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)
        << HeldCards{{card, utf8, "M\u00fcller,"}} << 0;
    QTest::newRow("no mark, UTF-8") << card << HeldCards{{card, utf8, "M\u00fcller,"}} << 0;
    const QByteArray little(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QByteArray bigEndian;
    for (qsizetype i = 0; i < little.size(); i += 2)
        bigEndian.append(little[i + 1]).append(little[i]);
    QTest::newRow("UTF-16 big-endian with its mark")
        << QByteArray("\xFE\xFF") + bigEndian << HeldCards{{card, utf8, "M\u00fcller,"}} << 0;
    QTest::newRow("UTF-16 little-endian without a mark")
        << little << HeldCards{{card, utf8, "M\u00fcller,"}} << 0;
    QTest::newRow("UTF-16 big-endian without a mark")
        << bigEndian << HeldCards{{card, utf8, "M\u00fcller,"}} << 0;
    // A fold cuts a character; read block by block, the cut lies across blocks too.
    const QByteArray folded = "BEGIN:VCARD\r\nN:M\xC3\r\n \xBCller\r\nEND:VCARD";
    QTest::newRow("no mark, UTF-8 folded inside a character")
        << QByteArray(14, ' ') + folded << HeldCards{{folded, utf8, "M\u00fcller,"}} << 0;
    QTest::newRow("no mark, plain ASCII")
        << QByteArray("BEGIN:VCARD\nN:A\nEND:VCARD")
        << HeldCards{{"BEGIN:VCARD\nN:A\nEND:VCARD", ansi, "A,"}} << 0;
    // Read block by block, the first card is cut and named while the file still looks like
    // UTF-8; the byte E9 in the second makes all of it ANSI.
    QTest::newRow("no mark, UTF-8 until a Windows-1252 byte")
        << card + "\r\n" + QByteArray(200, ' ') + "\r\nBEGIN:VCARD\r\nN:Ren\xE9\r\nEND:VCARD"
        << HeldCards{{card, ansi, "M\u00c3\u00bcller,"},
                     {"BEGIN:VCARD\r\nN:Ren\xE9\r\nEND:VCARD", ansi, "Ren\u00e9,"}}
        << 0;
}

// Each card is held as the bytes of its file, UTF-16 as UTF-8, whatever the block size.
void TestImporter::holdsTheBytesOfTheFile() {
    QFETCH(QByteArray, file);
    QFETCH(HeldCards, cards);
    QFETCH(int, badLine);
    QTemporaryDir dir;
    const QString path = dir.filePath("cards.vcf");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    CollectingReporter reporter;
    for (const qint64 blockSize : {qint64(16), qint64(1) << 18}) {
        HeldCards held;
        for (const ContactEntry& entry : CardFileImport(path, blockSize).scan(reporter))
            held.append({entry.card.bytes(), int(entry.card.encoding()), entry.Text});
        QCOMPARE(held, cards);
        // The U+FFFD of a bad byte is reported with its line, once a file.
        QCOMPARE(reporter.reports.size(), badLine > 0 ? 1 : 0);
        if (badLine > 0)
            QVERIFY(reporter.reports.takeFirst().startsWith(
                QStringLiteral("Line %1 of \"cards.vcf\"").arg(badLine)));
    }
}

void TestImporter::appendsInOneBatch() {
    QTemporaryDir dir;
    const QString path = dir.filePath("three.vcf");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const char* name : {"A;a", "B;b", "C;c"}) {
        file.write(card(QLatin1String(name)).toUtf8() + "\r\n");
    }
    file.close();

    ContactList list;
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    CollectingReporter reporter;
    QCOMPARE(importInto(list, path, reporter), 3);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.currentRow(), 0);
    QCOMPARE(list.at(2).Text, QStringLiteral("C, c"));
}

void TestImporter::keepsTheCurrentRow() {
    ContactList list;
    CollectingReporter reporter;
    const QString file = dataFile("utf8-with-mark.vcf");
    importInto(list, file, reporter);
    importInto(list, file, reporter);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.currentRow(), 0);
    QCOMPARE(list.at(1).card, list.at(0).card);
    QCOMPARE(importInto(list, dataFile("empty.vcf"), reporter), 0);
    QCOMPARE(list.count(), 2);
}

void TestImporter::appendsAfterTheRowsThere() {
    std::vector<ContactEntry> rows{{QStringLiteral("first"), QStringLiteral("card")}};
    CollectingReporter reporter;
    QCOMPARE(importCardFile(dataFile("utf8-with-mark.vcf"), rows, reporter), 1);
    QCOMPARE(importCardFile(dataFile("empty.vcf"), rows, reporter), 0);
    QCOMPARE(importCardFile(dataFile("utf8-with-mark.vcf"), rows, reporter), 1);
    QCOMPARE(rows.size(), size_t(3));
    QCOMPARE(rows[0].Text, QStringLiteral("first"));
    QCOMPARE(rows[1].Text, QStringLiteral("M\u00fcller, J\u00f6rg"));
    QCOMPARE(rows[2].card, rows[1].card);
}

void TestImporter::joinsPiecesOfALongUtf16File() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long-utf16.vcf");
    QString text;
    QStringList names;
    for (int i = 0; text.size() < 220000; ++i) {
        const QString name = QStringLiteral("K\u00f6hler%1;J\u00fcrgen").arg(i);
        text += card(name) + QStringLiteral("\r\n\r\n");
        names << QStringLiteral("K\u00f6hler%1, J\u00fcrgen").arg(i);
    }
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    QCOMPARE(readCardFile(path), text);
    std::vector<ContactEntry> list;
    CollectingReporter reporter;
    QCOMPARE(importCardFile(path, list, reporter), names.size());
    QStringList got;
    for (const ContactEntry& contact : list) {
        got << contact.Text;
    }
    QCOMPARE(got, names);
}

void TestImporter::unreadableFileAddsNothing() {
    std::vector<ContactEntry> list;
    CollectingReporter reporter;
    QVERIFY_THROWS_EXCEPTION(Failure, importCardFile(dataFile("no-such-file.vcf"), list, reporter));
    QCOMPARE(list.size(), size_t(0));
}

void TestImporter::reportsProgressAndCanBeStopped() {
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += card(QStringLiteral("Doe;N%1").arg(i)) + "\r\n";
    CollectingReporter reporter;
    QList<qsizetype> positions;
    const auto all = pennacle::scanCards(text, reporter, [&](qsizetype position, qsizetype total) {
        positions << position;
        return total == text.size();
    });
    QCOMPARE(all.size(), size_t(5000));
    QCOMPARE(positions.size(), 2);
    QVERIFY(positions[0] > 0 && positions[0] < positions[1] && positions[1] < text.size());

    const auto stopped =
        pennacle::scanCards(text, reporter, [](qsizetype, qsizetype) { return false; });
    QVERIFY(stopped.empty());
}

// Cards cut from a file read in blocks are those of its whole text, wherever the blocks end:
// inside a marker, a card, a character, or a card too long to copy.
void TestImporter::importsBlockByBlockAsAWhole_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<qint64>>("blockSizes");
    const QList<qint64> small{1, 2, 7, 64, 4096};
    for (const char* name : {"ansi-windows-1252.vcf", "utf8-with-mark.vcf", "utf8-without-mark.vcf",
                             "utf16le-with-mark.vcf", "utf32le-mark.vcf", "empty.vcf"}) {
        QTest::newRow(name) << dataFile(name) << small;
    }
    const QDir cards(QStringLiteral(PENNACLE_TEST_DATA "/cards"));
    for (const QString& name : cards.entryList({"*.vcf"}, QDir::Files, QDir::Name)) {
        QTest::newRow(qPrintable(name)) << cards.filePath(name) << small;
    }
    // Written by the test itself.
    QTest::newRow("long card") << QString() << QList<qint64>{4096, qint64(1) << 18};
}

void TestImporter::importsBlockByBlockAsAWhole() {
    QFETCH(QString, file);
    QFETCH(QList<qint64>, blockSizes);
    QTemporaryDir dir;
    if (file.isEmpty()) {
        // A card past the size that is handed over rather than copied, between two short ones.
        file = dir.filePath("long.vcf");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        const QString note = QStringLiteral("NOTE:") + QString(1200000, u'\u00e9');
        out.write("\xEF\xBB\xBF" +
                  (card("A;a") + "\r\nx" + card("Long;L").replace("N:", note + "\r\nN:") + "\r\n" +
                   card("B;b") + "\r\n")
                      .toUtf8());
    }
    CollectingReporter reporter;
    const std::vector<ContactEntry> whole = pennacle::scanCards(readCardFile(file), reporter);
    for (const qint64 blockSize : blockSizes) {
        const std::vector<ContactEntry> streamed = CardFileImport(file, blockSize).scan(reporter);
        QCOMPARE(streamed.size(), whole.size());
        for (size_t i = 0; i < whole.size(); ++i) {
            QCOMPARE(streamed[i].Text, whole[i].Text);
            QCOMPARE(streamed[i].card, whole[i].card);
        }
    }
    QCOMPARE(reporter.reports, QStringList());
}

void TestImporter::fileImportReportsBytesAndCanBeStopped() {
    QTemporaryDir dir;
    const QString path = dir.filePath("many.vcf");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    for (int i = 0; i < 500; ++i)
        out.write(card(QStringLiteral("Doe;N%1").arg(i)).toUtf8() + "\r\n");
    out.close();
    CollectingReporter reporter;
    QList<qsizetype> positions;
    const auto all =
        CardFileImport(path, 4096).scan(reporter, [&](qsizetype done, qsizetype total) {
            positions << done;
            return total == out.size();
        });
    QCOMPARE(all.size(), size_t(500));
    QVERIFY(positions.size() > 2);
    QVERIFY(std::is_sorted(positions.begin(), positions.end()));
    QCOMPARE(positions.last(), out.size());

    const auto stopped =
        CardFileImport(path, 4096).scan(reporter, [](qsizetype, qsizetype) { return false; });
    QVERIFY(stopped.empty());
}

QTEST_GUILESS_MAIN(TestImporter)
#include "tst_importer.moc"
