#include "cards/photolines.h"
#include "support/collectingreporter.h"

#include <QTest>

using namespace pennacle;

Q_DECLARE_METATYPE(std::vector<PhotoEntry>)

namespace {

QString letters(qsizetype count) {
    QString text;
    for (qsizetype i = 0; i < count; ++i) {
        text.append(QChar(char16_t(u'A' + i % 26)));
    }
    return text;
}

PhotoEntry photo(const QString& type, const QString& data) {
    return PhotoEntry{QStringLiteral("JPEG 1"), data, type};
}

const QString kJpeg = QStringLiteral("PHOTO;JPEG;BASE64:");

}  // namespace

class TestPhotoBlock : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void everyLineFitsAndDataSurvives_data();
    void everyLineFitsAndDataSurvives();
};

void TestPhotoBlock::lines_data() {
    QTest::addColumn<std::vector<PhotoEntry>>("photos");
    QTest::addColumn<QString>("expected");

    // Data lengths are those of valid Base64, which is written as it is.
    const QString d46 = letters(46);
    const QString d48 = letters(48);
    const QString type16 = QStringLiteral("PHOTO;TYPE=JPEG:");
    QTest::newRow("no rows") << std::vector<PhotoEntry>{} << QString();
    QTest::newRow("row without data")
        << std::vector<PhotoEntry>{photo(kJpeg, QString())} << QString();
    QTest::newRow("44 characters on one line")
        << std::vector<PhotoEntry>{photo(kJpeg, letters(44))} << kJpeg + letters(44) + "\r\n";
    QTest::newRow("42 characters padded to 44 on one line")
        << std::vector<PhotoEntry>{photo(kJpeg, letters(42))} << kJpeg + letters(42) + "==\r\n";
    QTest::newRow("47th and 48th characters on a continuation line")
        << std::vector<PhotoEntry>{photo(kJpeg, d48)}
        << kJpeg + d46 + "\r\n  " + d48.right(2) + "\r\n";
    QTest::newRow("48 + 64 fill two lines exactly")
        << std::vector<PhotoEntry>{photo(type16, letters(112))}
        << type16 + d48 + "\r\n  " + letters(112).mid(48) + "\r\n";
    QTest::newRow("48 + 64 + 4") << std::vector<PhotoEntry>{photo(type16, letters(116))}
                                 << type16 + d48 + "\r\n  " + letters(112).mid(48) + "\r\n  " +
                                        letters(116).right(4) + "\r\n";

    const QString type64 =
        QStringLiteral("X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64;") + QString(20, u'X') + u':';
    QTest::newRow("type of 64 characters leaves the first line without data")
        << std::vector<PhotoEntry>{photo(type64.left(64), letters(72))}
        << type64.left(64) + "\r\n  " + letters(64) + "\r\n  " + letters(72).right(8) + "\r\n";
    QTest::newRow("type longer than 64 characters")
        << std::vector<PhotoEntry>{photo(type64, letters(12))}
        << type64 + "\r\n  " + letters(12) + "\r\n";

    QTest::newRow("type without leading blanks and tabs, breaks as blanks")
        << std::vector<PhotoEntry>{photo(QStringLiteral(" \t PHOTO;\rX\n:"),
                                         QStringLiteral("QUJD"))}
        << QStringLiteral("PHOTO; X :QUJD\r\n");
    QTest::newRow("data without blanks, tabs and breaks; a row of blanks has none")
        << std::vector<PhotoEntry>{photo(QString(), QStringLiteral("\tQU\r\nJD ")),
                                   photo(kJpeg, QStringLiteral(" \r\n "))}
        << QStringLiteral("QUJD\r\n");
    QTest::newRow("an address is never folded, after a long type too")
        << std::vector<PhotoEntry>{photo(type64.left(64), QStringLiteral("http://x.example/a.jpg")),
                                   photo(QStringLiteral("PHOTO;VALUE=URI:"),
                                         "https://" + letters(40) + ":8443/" + letters(70) +
                                             "?size=2&x=%C3%A9")}
        << type64.left(64) + "http://x.example/a.jpg\r\nPHOTO;VALUE=URI:https://" + letters(40) +
               ":8443/" + letters(70) + "?size=2&x=%C3%A9\r\n";
    QTest::newRow("rows in order, the empty one skipped")
        << std::vector<PhotoEntry>{photo(kJpeg, QStringLiteral("QUJD")),
                                   photo(QStringLiteral("PHOTO;GIF:"), QString()),
                                   photo(QStringLiteral("PHOTO;TYPE=PNG:"), QStringLiteral("RA="))}
        << QStringLiteral("PHOTO;JPEG;BASE64:QUJD\r\nPHOTO;TYPE=PNG:RA==\r\n");
    QTest::newRow("padding that takes the data onto a continuation line")
        << std::vector<PhotoEntry>{photo(kJpeg, letters(46) + "=")} << kJpeg + d46 + "\r\n  ==\r\n";
}

void TestPhotoBlock::lines() {
    QFETCH(std::vector<PhotoEntry>, photos);
    QFETCH(QString, expected);
    CollectingReporter reporter;
    QCOMPARE(GetImageFromList(photos, reporter), expected);
    QVERIFY(reporter.reports.isEmpty());
}

void TestPhotoBlock::everyLineFitsAndDataSurvives_data() {
    QTest::addColumn<int>("typeLength");
    QTest::addColumn<int>("dataLength");
    for (const int typeLength : {1, 18, 63, 64, 65, 200}) {
        // Lengths that valid Base64 can have, so the data is written as it is.
        for (const int dataLength : {4, 44, 48, 64, 68, 128, 100000}) {
            QTest::addRow("type %d, data %d", typeLength, dataLength) << typeLength << dataLength;
        }
    }
}

// Whatever the lengths: no line is longer than 64 characters unless the type alone is, each
// continuation line starts with two blanks, and joining the lines gives the type and data.
void TestPhotoBlock::everyLineFitsAndDataSurvives() {
    QFETCH(int, typeLength);
    QFETCH(int, dataLength);
    const QString type = QString(typeLength - 1, u'T') + u':';
    const QString data = letters(dataLength);
    CollectingReporter reporter;
    const QString block = GetImageFromList({photo(type, data)}, reporter);

    QVERIFY(block.endsWith(u"\r\n"));
    QStringList lines = block.split(QStringLiteral("\r\n"));
    QVERIFY(lines.takeLast().isEmpty());
    QVERIFY(lines.first().startsWith(type));
    QCOMPARE(lines.first().size(),
             std::min<qsizetype>(std::max(typeLength, 64), typeLength + dataLength));
    QString joined = lines.first();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QVERIFY(lines[i].startsWith(u"  "));
        QVERIFY(lines[i].size() > 2);
        QVERIFY(lines[i].size() <= 66);
        if (i + 1 < lines.size()) {
            QCOMPARE(lines[i].size(), 66);
        }
        joined += lines[i].mid(2);
    }
    QCOMPARE(joined, type + data);
}

QTEST_GUILESS_MAIN(TestPhotoBlock)
#include "tst_photoblock.moc"
