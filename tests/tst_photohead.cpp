// The photo heads and the one table of media formats behind them and behind conversion.
#include "cards/mediaformats.h"
#include "cards/photohead.h"

#include <QTest>

using namespace pennacle;

Q_DECLARE_METATYPE(PictureFormat)

class TestPhotoHead : public QObject {
    Q_OBJECT

private slots:
    void withPictureFormat_data();
    void withPictureFormat();
    void addedPhotoType_data();
    void addedPhotoType();
    void mediaFormats();
};

void TestPhotoHead::withPictureFormat_data() {
    QTest::addColumn<QString>("head");
    QTest::addColumn<PictureFormat>("format");
    QTest::addColumn<QString>("named");
    const auto png = PictureFormat::Png;
    QTest::newRow("bare word") << "PHOTO;JPEG;BASE64:" << png << "PHOTO;PNG;BASE64:";
    QTest::newRow("JPG names a JPEG already")
        << "PHOTO;JPG;BASE64:" << PictureFormat::Jpeg << "PHOTO;JPG;BASE64:";
    QTest::newRow("a bitmap's word names a picture")
        << "PHOTO;BMP;BASE64:" << PictureFormat::Gif << "PHOTO;GIF;BASE64:";
    QTest::newRow("TIFF is no photo head's word")
        << "PHOTO;TIFF;BASE64:" << png << "PHOTO;TIFF;BASE64:";
    QTest::newRow("a sound's word neither") << "PHOTO;WAVE;BASE64:" << png << "PHOTO;WAVE;BASE64:";
    QTest::newRow("lower case kept") << "PHOTO;TYPE=jpeg;B:" << png << "PHOTO;TYPE=png;B:";
    QTest::newRow("quoted media type")
        << "PHOTO;B;TYPE=\"image/jpeg\":" << PictureFormat::Gif << "PHOTO;B;TYPE=\"image/gif\":";
    QTest::newRow("MEDIATYPE") << "PHOTO;MEDIATYPE=image/GIF:" << PictureFormat::Jpeg
                               << "PHOTO;MEDIATYPE=image/JPEG:";
    QTest::newRow("every word") << "PHOTO;GIF;TYPE=gif:" << png << "PHOTO;PNG;TYPE=png:";
    QTest::newRow("no format named") << "PHOTO;ENCODING=b:" << png << "PHOTO;ENCODING=b:";
}

void TestPhotoHead::withPictureFormat() {
    QFETCH(QString, head);
    QFETCH(PictureFormat, format);
    QFETCH(QString, named);
    QCOMPARE(pennacle::withPictureFormat(head, format), named);
}

void TestPhotoHead::addedPhotoType_data() {
    QTest::addColumn<PictureFormat>("format");
    QTest::addColumn<QString>("head");
    QTest::newRow("JPEG") << PictureFormat::Jpeg << "PHOTO;JPEG;BASE64:";
    QTest::newRow("PNG") << PictureFormat::Png << "PHOTO;PNG;BASE64:";
    QTest::newRow("GIF") << PictureFormat::Gif << "PHOTO;GIF;BASE64:";
}

void TestPhotoHead::addedPhotoType() {
    QFETCH(PictureFormat, format);
    QFETCH(QString, head);
    QCOMPARE(pennacle::addedPhotoType(format), head);
}

// Conversion reads words and media types from the same rows the photo heads use.
void TestPhotoHead::mediaFormats() {
    QCOMPARE(pennacle::addedPhotoType(), QString("PHOTO;JPEG;BASE64:"));
    QCOMPARE(mediaFormatOfWord(u"jpg")->mediaType, QLatin1StringView("image/jpeg"));
    QCOMPARE(mediaFormatOfType(u"IMAGE/JPEG")->word, QLatin1StringView("JPEG"));
    QCOMPARE(mediaFormatOfType(u"audio/wav")->word, QLatin1StringView("WAVE"));
    QVERIFY(!mediaFormatOfWord(u"image/jpeg"));
    QVERIFY(!mediaFormatOfType(u"image/webp"));
    QCOMPARE(wordOfPictureFormat(PictureFormat::Jpeg), QLatin1StringView("JPEG"));
}

QTEST_GUILESS_MAIN(TestPhotoHead)
#include "tst_photohead.moc"
