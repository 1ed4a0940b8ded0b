#include "cards/loader.h"
#include "cards/photolines.h"
#include "photos/jpegexport.h"
#include "photos/picturefile.h"
#include "support/cardphotos.h"
#include "support/files.h"
#include "vcard/base64.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace pennacle;

namespace {

QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    }
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

}  // namespace

class TestPictureFile : public QObject {
    Q_OBJECT
private slots:
    void storedData_data();
    void storedData();
    void unusableFilesFail_data();
    void unusableFilesFail();
    void saveJpegFailures_data();
    void saveJpegFailures();
    void previewSizes_data();
    void previewSizes();

private:
    QTemporaryDir dir_;
};

void TestPictureFile::storedData_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("converted");
    QTest::addColumn<QString>("head");  // of the row "Add Picture" makes
    const QByteArray jpeg = encoded(gradient(40, 30), "jpeg");
    const QByteArray bmp = encoded(gradient(40, 30), "bmp");
    const QByteArray png = encoded(gradient(40, 30), "png");
    const QString asJpeg = "PHOTO;JPEG;BASE64:";
    const QString asPng = "PHOTO;PNG;BASE64:";
    QTest::newRow("JPEG byte for byte") << "a.jpg" << jpeg << false << asJpeg;
    QTest::newRow("x.BMP converted") << "x.BMP" << bmp << true << asJpeg;
    QTest::newRow("y.bmp converted") << "y.bmp" << bmp << true << asJpeg;
    QTest::newRow("bitmap content by any name converted") << "b.jpg" << bmp << true << asJpeg;
    QTest::newRow("PNG kept as PNG") << "c.png" << png << false << asPng;
    QTest::newRow("PNG named .jpg kept as PNG") << "p.jpg" << png << false << asPng;
    QTest::newRow("GIF kept as GIF") << "g.gif" << yellowGif() << false << "PHOTO;GIF;BASE64:";
    QTest::newRow("other format converted")
        << "i.ppm" << encoded(gradient(40, 30), "ppm") << true << asJpeg;
    QTest::newRow("no extension") << "bmp.d/picture" << jpeg << false << asJpeg;
    QTest::newRow("JPEG named .bmp kept") << "z.Bmp" << jpeg << false << asJpeg;
}

void TestPictureFile::storedData() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, converted);
    QFETCH(QString, head);
    QDir(dir_.path()).mkpath(QFileInfo(dir_.filePath(name)).path());
    writeBytes(dir_.filePath(name), bytes);

    const ChosenPicture picture = pictureFileData(dir_.filePath(name));
    QCOMPARE(picture.data.size() % 4, 0);
    const PhotoEntry row = addedPhotoRow(2, picture.data, picture.format);
    QCOMPARE(row.PhotoType, head);
    QCOMPARE(row.PhotoLabel, QString("Photo3"));
    QVERIFY(isPhotoType(row.PhotoType));
    const QByteArray stored = DecodeBase64(picture.data);
    if (!converted) {
        QCOMPARE(stored, bytes);
        return;
    }
    QVERIFY(stored.startsWith("\xFF\xD8"));
    QImage image;
    QVERIFY(image.loadFromData(stored, "JPEG"));
    QCOMPARE(image.size(), QSize(40, 30));
    // Quality 75: the same bytes a quality-75 save of the decoded picture gives.
    QCOMPARE(stored, jpegBytes(QImage::fromData(bytes), 75));
}

void TestPictureFile::unusableFilesFail_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // "<none>": the file is not there
    QTest::addColumn<QString>("description");
    QTest::newRow("missing") << "missing.jpg" << QByteArray("<none>") << QString();
    QTest::newRow("empty") << "empty.jpg" << QByteArray() << "Subscript out of range";
    QTest::newRow("empty bitmap") << "empty.bmp" << QByteArray() << "Subscript out of range";
    QTest::newRow("text named .jpg")
        << "text.jpg" << QByteArray("not a picture") << "Invalid picture";
    QTest::newRow("text named .bmp")
        << "text.bmp" << QByteArray("BM not a picture") << "Invalid picture";
    QTest::newRow("truncated JPEG header")
        << "cut.jpg" << encoded(gradient(40, 30), "jpeg").left(40) << "Invalid picture";
}

void TestPictureFile::unusableFilesFail() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, description);
    if (bytes != "<none>")
        writeBytes(dir_.filePath(name), bytes);
    try {
        pictureFileData(dir_.filePath(name));
        QFAIL("no failure");
    } catch (const Failure& failure) {
        if (!description.isEmpty())
            QCOMPARE(failure.description(), description);
    }
}

void TestPictureFile::saveJpegFailures_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("quality");
    QTest::addColumn<QString>("description");  // empty: saved
    const QImage picture = gradient(8, 8);
    QTest::newRow("saved") << picture << "saved.jpg" << 75 << QString();
    QTest::newRow("folder that does not exist")
        << picture << "no/such/folder/x.jpg" << 75 << "Cannot save the image. GDI+ Error:7";
    QTest::newRow("empty picture")
        << QImage() << "nothing.jpg" << 75 << "Cannot save the image. GDI+ Error:2";
    QTest::newRow("quality above 100")
        << picture << "q.jpg" << 101 << "Cannot save the image. GDI+ Error:2";
}

void TestPictureFile::saveJpegFailures() {
    QFETCH(QImage, picture);
    QFETCH(QString, target);
    QFETCH(int, quality);
    QFETCH(QString, description);
    const QString path = dir_.filePath(target);
    try {
        SaveJpeg(picture, path, quality);
        QVERIFY(description.isEmpty());
        QVERIFY(readBytes(path).startsWith("\xFF\xD8"));
    } catch (const JpegSaveFailure& failure) {
        QCOMPARE(failure.description(), description);
        QCOMPARE(failure.number(), 5);
        QVERIFY(!QFileInfo::exists(path));
    }
}

void TestPictureFile::previewSizes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("room");
    QTest::addColumn<QSize>("shown");  // invalid: "Invalid picture"
    const QSize room(200, 150);
    QTest::newRow("fits, full size") << encoded(gradient(40, 30), "png") << room << QSize(40, 30);
    QTest::newRow("larger JPEG fits the room")
        << encoded(gradient(800, 300), "jpeg") << room << QSize(200, 75);
    QTest::newRow("taller than the room")
        << encoded(gradient(30, 600), "bmp") << room << QSize(7, 150);
    QTest::newRow("no room, full size")
        << encoded(gradient(800, 300), "png") << QSize() << QSize(800, 300);
    QTest::newRow("wide strip keeps a pixel")
        << encoded(gradient(1000, 1), "png") << room << QSize(200, 1);
    QTest::newRow("tall strip keeps a pixel")
        << encoded(gradient(1, 1000), "jpeg") << room << QSize(1, 150);
    QTest::newRow("not a picture") << QByteArray("BEGIN:VCARD") << room << QSize();
    QTest::newRow("no bytes") << QByteArray() << room << QSize();
}

void TestPictureFile::previewSizes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, room);
    QFETCH(QSize, shown);
    if (!shown.isValid()) {
        QVERIFY_THROWS_EXCEPTION(Failure, previewPicture(bytes, room));
        return;
    }
    QCOMPARE(previewPicture(bytes, room).size(), shown);
}

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
