#include "core/guard.h"
#include "vcard/textfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

namespace {

const QString kCard = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:2.1\r\nN:M\u00fcller;J\u00f6rg;;;\r\n"
    "NOTE:5 \u20ac caf\u00e9\r\nEND:VCARD\r\n");

QString dataFile(const char* name) {
    return QStringLiteral(PENNACLE_TEST_DATA "/") + QLatin1String(name);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QList<qsizetype> pieceLengths(const QStringList& pieces) {
    QList<qsizetype> lengths;
    for (const QString& piece : pieces) {
        lengths << piece.size();
    }
    return lengths;
}

}  // namespace

class TestTextFile : public QObject {
    Q_OBJECT
private slots:
    void readsFixtures_data();
    void readsFixtures();
    void readsUtf8WithoutMark_data();
    void readsUtf8WithoutMark();
    void streamsAsReadTextFile_data();
    void streamsAsReadTextFile();
    void cutsLongAnsiTextIntoPieces();
    void cutsLongUtf16TextIntoPieces();
    void keepsUtf8TextInOnePiece();
    void unreadableFilesFail();
    void readWholeFile_data();
    void readWholeFile();
    void encodeUtf8_data();
    void encodeUtf8();
    void replaceSeparatorsInPlace();
    void replaceSeparatorsHasNoLengthLimit();
};

void TestTextFile::readsFixtures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");

    const auto add = [](const char* name, TextEncoding encoding, const QString& text) {
        QTest::newRow(name) << dataFile(name) << int(encoding) << text;
    };
    add("empty.vcf", TextEncoding::Ansi, QString());
    add("utf8-mark-only.vcf", TextEncoding::Utf8, QString());
    add("utf8-mark-cut-short.vcf", TextEncoding::Ansi, QStringLiteral("\u00ef\u00bb"));
    add("utf8-with-mark.vcf", TextEncoding::Utf8, kCard);
    add("ansi-windows-1252.vcf", TextEncoding::Ansi, kCard);
    // No mark, but its bytes are UTF-8: read as UTF-8.
    add("utf8-without-mark.vcf", TextEncoding::Ansi, kCard);
    add("utf16le-with-mark.vcf", TextEncoding::Utf16, kCard);
    // The other marks select the same little-endian reading; they are not taken for marks.
    add("utf32le-mark.vcf", TextEncoding::Utf16, QChar(0) + kCard);
    add("utf32be-mark.vcf", TextEncoding::Utf16, QString(QChar(0)) + QChar(0xFFFE) + kCard);
    add("utf16be-mark.vcf", TextEncoding::Utf16, QChar(0xFFFE) + kCard);
}

void TestTextFile::readsFixtures() {
    QFETCH(QString, file);
    QFETCH(int, encoding);
    QFETCH(QString, text);

    QCOMPARE(int(DetectTextEncoding(file)), encoding);
    const QStringList pieces = ReadTextFile(file);
    QCOMPARE(pieces.size(), 1);
    QCOMPARE(pieces.first(), text);
}

void TestTextFile::readsUtf8WithoutMark_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << QByteArray("N:Doe\r\n") << QStringLiteral("N:Doe\r\n");
    QTest::newRow("Windows-1252 accents")
        << QByteArray("N:M\xFCller \xE9\xE9") << QStringLiteral("N:M\u00fcller \u00e9\u00e9");
    QTest::newRow("UTF-8, two to four bytes, past an ASCII run")
        << QByteArray("ASCII run of more than eight \xC3\xA9 \xE5\xAE\x89 \xF0\x9F\x98\x80")
        << QStringLiteral("ASCII run of more than eight \u00e9 \u5b89 \U0001F600");
    QTest::newRow("UTF-8 with one Windows-1252 byte is ANSI")
        << QByteArray("\xC3\xA9 \xE9") << QStringLiteral("\u00c3\u00a9 \u00e9");
    QTest::newRow("overlong form is ANSI")
        << QByteArray("\xC0\xAF") << QStringLiteral("\u00c0\u00af");
    QTest::newRow("encoded surrogate is ANSI")
        << QByteArray("\xED\xA0\x80") << QStringLiteral("\u00ed\u00a0\u20ac");
    QTest::newRow("past U+10FFFF is ANSI")
        << QByteArray("\xF4\x90\x80\x80") << QStringLiteral("\u00f4\u0090\u20ac\u20ac");
    QTest::newRow("sequence cut at the end is ANSI")
        << QByteArray("ab\xE5\xAE") << QStringLiteral("ab\u00e5\u00ae");
    QTest::newRow("lone continuation byte is ANSI")
        << QByteArray("\xA9x") << QStringLiteral("\u00a9x");
}

// A file without a mark is UTF-8 when its bytes are UTF-8 and not all ASCII, else ANSI.
void TestTextFile::readsUtf8WithoutMark() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("card.vcf");
    writeFile(path, bytes);
    QCOMPARE(ReadTextFile(path), QStringList{text});
}

// The block-by-block reading of an import gives the text of ReadTextFile, whatever the block
// size: sequences cut by a block's end, malformed ones (which Qt's decoder reads differently
// when they are cut), and UTF-8 without a mark that turns out to be ANSI late in the file.
void TestTextFile::streamsAsReadTextFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    const auto fileBytes = [](const char* name) {
        QFile file(dataFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const char* name :
         {"empty.vcf", "utf8-mark-only.vcf", "utf8-mark-cut-short.vcf", "utf8-with-mark.vcf",
          "ansi-windows-1252.vcf", "utf8-without-mark.vcf", "utf16le-with-mark.vcf",
          "utf32le-mark.vcf", "utf32be-mark.vcf", "utf16be-mark.vcf"}) {
        QTest::newRow(name) << fileBytes(name);
    }
    const QByteArray malformed(
        "\xC3\xA9\xF4\x90\x80\x80\xED\xA0\x80\xE2\x82\xAC\xC3x\xC0\xAF\xE2\x82");
    QTest::newRow("marked UTF-8, malformed sequences") << QByteArray("\xEF\xBB\xBF") + malformed;
    QTest::newRow("marked UTF-8, malformed, no ASCII")
        << QByteArray("\xEF\xBB\xBF\xF4\x90\x80\x80\xED\xA0\x80");
    const QByteArray utf8 = QStringLiteral("N:K\u00f6hler;J\u00fcrgen \U0001F600\r\n").toUtf8();
    QTest::newRow("no mark, UTF-8") << utf8.repeated(5);
    QTest::newRow("no mark, UTF-8, then a Windows-1252 byte") << utf8.repeated(5) + "\xE9";
    QTest::newRow("no mark, UTF-8 cut short at the end") << utf8.repeated(5) + "\xE5\xAE";
    QTest::newRow("no mark, ASCII") << QByteArray("BEGIN:VCARD\r\nN:Doe\r\nEND:VCARD");
    QTest::newRow("UTF-16, odd last byte") << QByteArray::fromHex("fffe6100620063");
    QTest::newRow("UTF-16, surrogates whole and alone")
        << QByteArray::fromHex("fffe3dd800de61003dd8620000de");
}

// UTF-8 has no room for half a surrogate pair, which a UTF-16 file may hold.
QString withLoneSurrogatesReplaced(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

void TestTextFile::streamsAsReadTextFile() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("card.vcf");
    writeFile(path, bytes);
    const QString whole = ReadTextFile(path).join(QString());
    for (const qint64 blockSize : {1, 2, 3, 5, 4096}) {
        TextFileReader reader(path, blockSize);
        QCOMPARE(reader.size(), bytes.size());
        QByteArray bytes;
        while (reader.readInto(bytes) != TextFileReader::Read::End) {
        }
        QCOMPARE(decodeText(bytes, reader.encoding()), withLoneSurrogatesReplaced(whole));
    }
}

void TestTextFile::cutsLongAnsiTextIntoPieces() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.vcf");
    QByteArray bytes(200000, 'a');
    bytes[65535] = '\x80';  // the euro sign of Windows-1252, the last of the first piece
    writeFile(path, bytes);

    const QStringList pieces = ReadTextFile(path);
    QCOMPARE(pieceLengths(pieces), (QList<qsizetype>{65536, 65536, 65536, 3392}));
    QCOMPARE(pieces[0].back(), QChar(0x20AC));
    QCOMPARE(pieces.join(QString()).size(), 200000);
}

void TestTextFile::cutsLongUtf16TextIntoPieces() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long-utf16.vcf");
    QString text;
    for (int i = 0; text.size() < 210000; ++i) {
        text +=
            QStringLiteral("BEGIN:VCARD\r\nN:K\u00f6hler%1;\U0001F600;;;\r\nEND:VCARD\r\n").arg(i);
    }
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    writeFile(path, bytes);

    const QStringList pieces = ReadTextFile(path);
    QCOMPARE(pieces.size(), 4);
    for (qsizetype i = 0; i < 3; ++i) {
        QCOMPARE(pieces[i].size(), 65536);
    }
    QCOMPARE(pieces.join(QString()), text);
}

void TestTextFile::keepsUtf8TextInOnePiece() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long-utf8.vcf");
    const QString text = QString(150000, QChar(0x00E9));
    writeFile(path, QByteArray("\xEF\xBB\xBF") + text.toUtf8());

    const QStringList pieces = ReadTextFile(path);
    QCOMPARE(pieces.size(), 1);
    QCOMPARE(pieces.first(), text);
}

void TestTextFile::unreadableFilesFail() {
    const QString missing = dataFile("no-such-file.vcf");
    QVERIFY_THROWS_EXCEPTION(Failure, DetectTextEncoding(missing));
    QVERIFY_THROWS_EXCEPTION(Failure, ReadTextFile(missing));
    QVERIFY_THROWS_EXCEPTION(Failure, ReadWholeFile(missing));
    QVERIFY_THROWS_EXCEPTION(Failure, ReadTextFile(QStringLiteral(PENNACLE_TEST_DATA)));
}

void TestTextFile::readWholeFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << dataFile("empty.vcf") << QStringLiteral("empty file");
    // No mark detection: every byte is one character, line ends untouched.
    QTest::newRow("starts FF FE") << dataFile("whole-file-starts-ff-fe.vcf")
                                  << QStringLiteral("\u00ff\u00feX\u0081");
    QTest::newRow("windows-1252") << dataFile("ansi-windows-1252.vcf") << kCard;
    QTest::newRow("mark kept") << dataFile("utf8-mark-only.vcf")
                               << QStringLiteral("\u00ef\u00bb\u00bf");
}

void TestTextFile::readWholeFile() {
    QFETCH(QString, file);
    QFETCH(QString, text);
    QCOMPARE(ReadWholeFile(file), text);
}

void TestTextFile::encodeUtf8_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("e acute") << QStringLiteral("\u00e9") << QByteArray("\xC3\xA9");
    QTest::newRow("astral") << QStringLiteral("\U0001F600") << QByteArray("\xF0\x9F\x98\x80");
    QTest::newRow("line ends") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb");
}

void TestTextFile::encodeUtf8() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeUtf8(text), bytes);
}

void TestTextFile::replaceSeparatorsInPlace() {
    QString value = QStringLiteral("a;b:c");
    QString& result = ReplaceSeparators(value);
    QCOMPARE(&result, &value);
    QCOMPARE(value, QStringLiteral("a b c"));
}

void TestTextFile::replaceSeparatorsHasNoLengthLimit() {
    QString value(100000, u'x');
    value[0] = u';';
    value[99999] = u':';
    ReplaceSeparators(value);
    QCOMPARE(value.size(), 100000);
    QCOMPARE(value.count(u' '), 2);
    QCOMPARE(value.back(), QChar(u' '));
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
