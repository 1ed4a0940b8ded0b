#include "core/guard.h"
#include "vcard/base64.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

class TestBase64 : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decodeTolerantly_data();
    void decodeTolerantly();
    void nothingLeftToDecodeFails_data();
    void nothingLeftToDecodeFails();
    void roundTrip_data();
    void roundTrip();
    void padding_data();
    void padding();
    void loadFileBytes();
};

void TestBase64::encode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("YWJj");
    QTest::newRow("a") << QByteArray("a") << QByteArray("YQ==");
    QTest::newRow("ab") << QByteArray("ab") << QByteArray("YWI=");
    QTest::newRow("high bytes") << QByteArray("\xFF\xD8\xFF\xE0") << QByteArray("/9j/4A==");
    QTest::newRow("no line breaks") << QByteArray(300, 'x') << QByteArray("eHh4").repeated(100);
}

void TestBase64::encode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoded);
    QCOMPARE(encodeBase64(bytes), encoded);
}

void TestBase64::decodeTolerantly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QStringLiteral("YWJj") << QByteArray("abc");
    QTest::newRow("CR LF anywhere") << QStringLiteral("YW\r\nJj") << QByteArray("abc");
    QTest::newRow("folded with CR LF") << QStringLiteral("YWJj\r\nYWJj") << QByteArray("abcabc");
    // A lone LF is a foreign character: it counts as "A" and shifts the groups.
    QTest::newRow("lone LF") << QStringLiteral("YW\nJj") << QByteArray("a`\t");
    QTest::newRow("space counts as A") << QStringLiteral("YW Jj") << QByteArray("a`\t");
    QTest::newRow("equals in the middle") << QStringLiteral("YW=Jj") << QByteArray("abc");
    QTest::newRow("padding two") << QStringLiteral("YQ==") << QByteArray("a");
    QTest::newRow("padding one") << QStringLiteral("YWI=") << QByteArray("ab");
    QTest::newRow("4k+1 loses the last") << QStringLiteral("YWJjY") << QByteArray("abc");
    QTest::newRow("non-latin character") << QStringLiteral("\u20acWJj")
                                         << QByteArray(
                                                "\x01"
                                                "bc");
    QTest::newRow("equals shifts the groups")
        << QStringLiteral("Y=WJjYWJj") << QByteArray("abcabc");
    QTest::newRow("lone CR, then CR LF") << QStringLiteral("YW\r\r\nJj") << QByteArray("a`\t");
    QTest::newRow("non-latin among a run")
        << QStringLiteral("YWJjYW\u00e9jYWJj") << QByteArray("abca`#abc");
    QTest::newRow("CR then equals then LF")
        << QStringLiteral("YWJj\r=\nAA") << QByteArray("abc\x00\x00\x00", 6);
}

void TestBase64::decodeTolerantly() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(DecodeBase64(text), bytes);
}

void TestBase64::nothingLeftToDecodeFails_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("only CR LF and padding") << QStringLiteral("\r\n==\r\n");
    QTest::newRow("a single character") << QStringLiteral("Y=");
}

void TestBase64::nothingLeftToDecodeFails() {
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(Failure, DecodeBase64(text));
}

void TestBase64::roundTrip_data() {
    QTest::addColumn<int>("size");
    for (int size : {1, 2, 3, 4, 5, 57, 12000, 12001, 12002}) {
        QTest::addRow("%d bytes", size) << size;
    }
}

void TestBase64::roundTrip() {
    QFETCH(int, size);
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(size);
    for (char& b : bytes) {
        b = static_cast<char>(random.bounded(256));
    }
    const QByteArray encoded = encodeBase64(bytes);
    QCOMPARE(DecodeBase64(QString::fromLatin1(encoded)), bytes);

    // Cut into lines, as a photo is written or any other width: the CR LF pairs do not
    // disturb decoding.
    for (const int width : {76, 75, 3}) {
        QString folded;
        for (qsizetype i = 0; i < encoded.size(); i += width) {
            folded += QString::fromLatin1(encoded.mid(i, width)) + QStringLiteral("\r\n");
        }
        QCOMPARE(DecodeBase64(folded), bytes);
    }
}

void TestBase64::padding_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("written");
    QTest::newRow("complete groups") << "QUJD"
                                     << "QUJD";
    QTest::newRow("one = kept") << "QUI="
                                << "QUI=";
    QTest::newRow("== cut to one = when read") << "QQ="
                                               << "QQ==";
    QTest::newRow("no padding at all") << "QUJDRA"
                                       << "QUJDRA==";
    QTest::newRow("stray = after complete groups") << "QUJD="
                                                   << "QUJD";
    QTest::newRow("a lone last character") << "QUJDR="
                                           << "QUJD";
    QTest::newRow("padding only") << "=="
                                  << "";
    QTest::newRow("= inside, as decoding drops it") << "QU=JDR=A"
                                                    << "QUJDRA==";
    QTest::newRow("= inside, a lone last character") << "====V"
                                                     << "";
    QTest::newRow("a URI stays") << "http://x.example/a.jpg"
                                 << "http://x.example/a.jpg";
}

// Written data is strict Base64 that decodes to the bytes the tolerant reader gets.
void TestBase64::padding() {
    QFETCH(QString, data);
    QFETCH(QString, written);
    QCOMPARE(paddedBase64(data), written);
    if (written.isEmpty() || written.contains(u':'))
        return;
    QCOMPARE(written.size() % 4, 0);
    const auto strict =
        QByteArray::fromBase64Encoding(written.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    QVERIFY(strict);
    QCOMPARE(*strict, DecodeBase64(data));
}

void TestBase64::loadFileBytes() {
    QTemporaryDir dir;
    const QString path = dir.filePath("picture.jpg");
    const QByteArray bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\r\n\x1A", 13);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(pennacle::loadFileBytes(path), bytes);

    const QString empty = dir.filePath("empty.jpg");
    QFile emptyFile(empty);
    QVERIFY(emptyFile.open(QIODevice::WriteOnly));
    emptyFile.close();
    QVERIFY_THROWS_EXCEPTION(Failure, pennacle::loadFileBytes(empty));
    QVERIFY_THROWS_EXCEPTION(Failure, pennacle::loadFileBytes(dir.filePath("missing.jpg")));
}

QTEST_GUILESS_MAIN(TestBase64)
#include "tst_base64.moc"
