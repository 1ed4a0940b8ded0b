#include "cards/photolines.h"
#include "photos/imagedecoder.h"
#include "support/collectingreporter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

class TestPhotoLines : public QObject {
    Q_OBJECT

private slots:
    void takePhotoData_data();
    void takePhotoData();
    void photoLabel_data();
    void photoLabel();
    void imageDecoderReplacesTheFile();
    void imageDecoderReportsFailures();
};

void TestPhotoLines::takePhotoData_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<QString>("data");

    QTest::newRow("folded, up to the first = kept once")
        << "PHOTO;JPEG;BASE64:\r\n  QUJD\r\n  RA==\r\n\r\nX:1" << qsizetype(0) << "QUJDRA=";
    QTest::newRow("no padding stops at the empty line")
        << "PHOTO;B:\r\n QUJD\r\n\r\nNOTE;ENCODING=QUOTED-PRINTABLE:x" << qsizetype(0) << "QUJD";
    QTest::newRow("no padding stops at the next property")
        << "PHOTO:QUJD\r\nN;X=1:A=B" << qsizetype(0) << "QUJD";
    QTest::newRow("unindented data lines")
        << "PHOTO:QUJD\nREVG\nR0g=\nX:1" << qsizetype(0) << "QUJDREVGR0g=";
    QTest::newRow("colons in the value's own line") << "PHOTO;VALUE=URI:http://x.example/a.jpg\nX:1"
                                                    << qsizetype(0) << "http://x.example/a.jpg";
    QTest::newRow("= in the property part")
        << "PHOTO;ENCODING=BASE64:QUJD" << qsizetype(0) << "QUJD";
    QTest::newRow("tabs and blanks, end of card") << "PHOTO:\n\tQU JD" << qsizetype(0) << "QUJD";
    QTest::newRow("the line's own value, not an earlier one")
        << "PHOTO:QUFB=\r\nPHOTO:QkJC=" << qsizetype(13) << "QkJC=";
    QTest::newRow("empty value") << "PHOTO:\r\nX:1" << qsizetype(0) << "";
    // An address keeps its "=" and runs to the end of its line, folded lines included.
    QTest::newRow("an address with =")
        << "PHOTO;VALUE=URL:https://x.example/a.jpg?size=2&v=\r\n 3\r\nX:1" << qsizetype(0)
        << "https://x.example/a.jpg?size=2&v=3";
    QTest::newRow("an address by its scheme")
        << "PHOTO:cid:part1@example\nX:1" << qsizetype(0) << "cid:part1@example";
    QTest::newRow("a data address: its Base64 data")
        << "PHOTO:data:image/png;base64,QQ==\nX:1" << qsizetype(0) << "QQ==";
    QTest::newRow("CR alone ends lines")
        << "PHOTO;BASE64:\r QUJD\r RA==\r\rX:1" << qsizetype(0) << "QUJDRA=";
}

void TestPhotoLines::takePhotoData() {
    QFETCH(QString, card);
    QFETCH(qsizetype, offset);
    QFETCH(QString, data);
    QCOMPARE(pennacle::takePhotoData(card, offset), data);
}

void TestPhotoLines::photoLabel_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("typeWordsLabel");  // of a 3.0 or 4.0 card

    QTest::newRow("second piece") << "PHOTO;JPEG;BASE64" << 1 << "JPEG 1"
                                  << "JPEG 1";
    QTest::newRow("card picture") << "X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64" << 1
                                  << "TYPE=JPEG 1"
                                  << "JPEG 1";
    QTest::newRow("empty second piece") << "PHOTO;;JPEG" << 2 << "Photo 2"
                                        << "JPEG 2";
    QTest::newRow("no parameters") << "PHOTO" << 3 << "Photo 3"
                                   << "Photo 3";
    QTest::newRow("encoding first") << "PHOTO;ENCODING=b;TYPE=\"jpeg\"" << 1 << "ENCODING=b 1"
                                    << "JPEG 1";
    QTest::newRow("no type") << "PHOTO;ENCODING=b" << 4 << "ENCODING=b 4"
                             << "Photo 4";
    QTest::newRow("media type") << "PHOTO;VALUE=uri;MEDIATYPE=image/png" << 1 << "VALUE=uri 1"
                                << "PNG 1";
}

void TestPhotoLines::photoLabel() {
    QFETCH(QString, part);
    QFETCH(int, number);
    QFETCH(QString, label);
    QFETCH(QString, typeWordsLabel);
    QCOMPARE(pennacle::photoLabel(part, number), label);
    QCOMPARE(pennacle::photoLabel(part, number, true), typeWordsLabel);
}

void TestPhotoLines::imageDecoderReplacesTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PreviewVCF.jpg"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older and longer picture");
    old.close();

    CollectingReporter reporter;
    QVERIFY(ImageDecoder(QStringLiteral("QUJD\r\nREU="), path, reporter));
    QVERIFY(reporter.reports.isEmpty());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("ABCDE"));
}

void TestPhotoLines::imageDecoderReportsFailures() {
    QTemporaryDir dir;
    CollectingReporter reporter;
    QVERIFY(!ImageDecoder(QStringLiteral("QUJD"), dir.filePath(QStringLiteral("no/such/dir.jpg")),
                          reporter));
    QCOMPARE(reporter.reports.size(), 1);
    QVERIFY(reporter.reports[0].contains(
        QStringLiteral("\r\nin Pennacle2021/08/31.modVCard.ImageDecoder at line 102\r\r")));

    reporter.reports.clear();
    QVERIFY(!ImageDecoder(QString(), dir.filePath(QStringLiteral("empty.jpg")), reporter));
    QCOMPARE(reporter.reports.size(), 1);
    QVERIFY(reporter.reports[0].contains(QStringLiteral("ImageDecoder at line 100\r\r")));
}

QTEST_GUILESS_MAIN(TestPhotoLines)
#include "tst_photolines.moc"
