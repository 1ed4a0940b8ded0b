#include "cards/importer.h"
#include "cards/loader.h"
#include "cards/rebuild.h"
#include "support/cardphotos.h"
#include "support/collectingreporter.h"
#include "vcard/base64.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

using namespace pennacle;

namespace {

const QDateTime kNow(QDate(2021, 8, 31), QTime(12, 0, 1));

// Pieces that provoke the normalisations of loading: blanks at the ends, separators, "=",
// quoted-printable look-alikes, backslashes, parameter words and non-ASCII text.
const QStringList kPieces = {"",
                             " ",
                             "x",
                             "Anna",
                             ";",
                             ":",
                             "a;b:c",
                             "=",
                             "==",
                             "=0D",
                             "=0D=0A",
                             "=3D",
                             "\\n",
                             "\\",
                             "é",
                             "€",
                             "😀",
                             "\t",
                             "HOME",
                             "FAX",
                             "PREF",
                             "WORK",
                             "CELL",
                             "TYPE=",
                             "http://h",
                             ",",
                             "BEGIN:",
                             "  lead",
                             "end ",
                             "QUOTED-PRINTABLE",
                             "ENCODING=QUOTED-PRINTABLE"};
const QStringList kNoteBreaks = {"\r\n", "\r\n\r\n", "\n", "\r"};
const QStringList kPhotoTypes = {"PHOTO;JPEG;BASE64:",
                                 "PHOTO;TYPE=JPEG;ENCODING=BASE64:",
                                 "PHOTO:",
                                 "PHOTO;;BASE64:",
                                 "X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64:",
                                 "PHOTO;TYPE=JPEG;ENCODING=BASE64;X-A-VERY-LONG-PARAMETER-NAME="
                                 "WITH-A-VALUE:"};
const QString kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

class FormMaker {
public:
    explicit FormMaker(quint32 seed) : random_(seed) {}

    CardForm make() {
        CardForm form;
        for (int i = 0; i < kFieldCount; ++i) {
            if (chance(40)) {
                form.txtTextbox[i] = i == Notes ? note() : text();
            }
        }
        for (bool& checked : form.Check1) {
            checked = chance(30);
        }
        const int addresses = pick(4);
        for (int i = 0; i < addresses; ++i) {
            form.Combo1 << text();
            // Types never hold ":", which would end the property part early.
            form.Combo2 << text().remove(u':');
        }
        form.Combo1Index = addresses > 0 ? 0 : -1;
        if (chance(50)) {
            form.dtpBirthday = QDate(1000 + pick(9000), 1 + pick(12), 1 + pick(28));
        }
        const int photos = pick(3);
        for (int i = 0; i < photos; ++i) {
            form.photos.push_back({QStringLiteral("Photo %1").arg(i + 1), photoData(),
                                   kPhotoTypes[pick(kPhotoTypes.size())]});
        }
        form.photoIndex = photos > 0 ? 1 : 0;
        return form;
    }

private:
    int pick(qsizetype count) { return int(random_.bounded(int(count))); }
    bool chance(int percent) { return pick(100) < percent; }

    QString text() {
        QString value;
        for (int n = pick(5); n > 0; --n) {
            value += kPieces[pick(kPieces.size())];
        }
        return value;
    }

    QString note() {
        QString value = text();
        for (int n = pick(4); n > 0; --n) {
            value += kNoteBreaks[pick(kNoteBreaks.size())] + text();
        }
        return value;
    }

    QString photoData() {
        QString data;
        for (int n = pick(300); n > 0; --n) {
            data += kBase64[pick(kBase64.size())];
        }
        const int padding = pick(4);
        data += padding == 3 ? QStringLiteral("=AB=") : QString(padding, u'=');
        return data;
    }

    QRandomGenerator random_;
};

QString build(const CardForm& form, CollectingReporter& reporter) {
    return rebuildCard(form, kNow, reporter).text();
}

// The photos as the card writer carries them: padded, and none where nothing is left to pad.
QStringList photoData(const CardForm& form) {
    QStringList data;
    for (const PhotoEntry& photo : form.photos) {
        const QString padded = paddedBase64(photo.PhotoData);
        if (!padded.isEmpty())
            data << padded;
    }
    return data;
}

}  // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void secondRebuildSettles_data();
    void secondRebuildSettles();
    void notesComeBackWhole_data();
    void notesComeBackWhole();
    void foundCardsSettle_data();
    void foundCardsSettle();
};

void TestRoundTrip::secondRebuildSettles_data() {
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 20; ++seed) {
        QTest::addRow("seed %u", seed) << seed;
    }
}

// c1 = build(f), c2 = build(load(c1)), c3 = build(load(c2)): loading may normalise c1 once,
// but c3 must equal c2.
void TestRoundTrip::secondRebuildSettles() {
    QFETCH(quint32, seed);
    FormMaker maker(seed);
    for (int i = 0; i < 100; ++i) {
        const CardForm form = maker.make();
        CollectingReporter reporter;
        const QString c1 = build(form, reporter);
        const QString c2 = build(loadCardForm(c1, reporter), reporter);
        const QString c3 = build(loadCardForm(c2, reporter), reporter);
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join("\n")));
        if (c3 != c2) {
            qWarning().noquote() << "c1:" << c1 << "\nc2:" << c2 << "\nc3:" << c3;
        }
        QCOMPARE(c3, c2);
        // Every photo is written padded; once read, it is strict Base64 throughout.
        for (const QString& card : {c1, c2}) {
            for (const QString& data : writtenPhotoData(card)) {
                QCOMPARE(data.size() % 4, 0);
                if (card == c2) {
                    QVERIFY2(QByteArray::fromBase64Encoding(
                                 data.toLatin1(), QByteArray::AbortOnBase64DecodingErrors),
                             qPrintable(data));
                }
            }
        }
    }
}

void TestRoundTrip::notesComeBackWhole_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("expected");  // empty: the note itself
    QTest::newRow("one line") << "plain" << QString();
    QTest::newRow("empty lines") << "a\r\n\r\n\r\nb" << QString();
    QTest::newRow("ends with a break") << "a\r\nb\r\n" << QString();
    QTest::newRow("starts with a break") << "\r\na" << QString();
    QTest::newRow("equals signs") << "x = 1\r\n=\r\n==\r\na=b=" << QString();
    QTest::newRow("quoted-printable look-alikes") << "=3D =0D =0A =0D= =0A=0D =20" << QString();
    QTest::newRow("inner blanks") << "a  \r\n  b" << QString();
    QTest::newRow("non-ASCII") << "Zoë € 😀\r\nŁ" << QString();
    QTest::newRow("100,000 characters") << QString("0123456789\r\n").repeated(8334) << QString();
    QTest::newRow("lone breaks become CR LF") << "a\n\nb\r\rc"
                                              << "a\r\n\r\nb\r\n\r\nc";
    QTest::newRow("separators") << "Call at 10:30; bring docs\r\n:;" << QString();
    QTest::newRow("the rebuild's own escapes typed")
        << "=0D=0A =3D =3D3D\r\nends in =" << QString();
    QTest::newRow("blanks before a break and at the end") << "keep  \r\nlast blank " << QString();
    QTest::newRow("a line of blanks last") << "a\r\n  " << QString();
    QTest::newRow("blanks at the start go") << "  a \r\nb "
                                            << "a \r\nb ";
}

// A note without blanks at its start loads back as it was.
void TestRoundTrip::notesComeBackWhole() {
    QFETCH(QString, note);
    QFETCH(QString, expected);
    CardForm form;
    form[Notes] = note;
    CollectingReporter reporter;
    const CardForm loaded = loadCardForm(build(form, reporter), reporter);
    QVERIFY(reporter.reports.isEmpty());
    QCOMPARE(loaded[Notes], expected.isEmpty() ? note : expected);
}

void TestRoundTrip::foundCardsSettle_data() {
    QTest::addColumn<QString>("card");
    // Inputs that once made a card drift from one rebuild to the next.
    QTest::newRow("photo marked quoted-printable, ending in =")
        << "BEGIN:VCARD\nN:V\nPHOTOENCODING=QUOTED-PRINTABLE:=\n\nPHOTO:n\nPHOTOEND:VCARD";
    QTest::newRow("e-mail types that mark the addresses quoted-printable")
        << "BEGIN:VCARD\nEMAIL;ENCODING=QUOTED-PRINTABLE:a=3D3D41\n"
           "EMAIL;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-16:c=3D3D41=3D\nEND:VCARD";
    QTest::newRow("a name ending in a backslash") << "BEGIN:VCARD\r\nN:Widgets\\\r\nEND:VCARD";
    QTest::newRow("a line break decoded into a name")
        << "BEGIN:VCARD\r\nN;ENCODING=QUOTED-PRINTABLE:a;b =0D=0Ac\r\nEND:VCARD";
    QTest::newRow("a photo line read as a fold of FN, which then names the card")
        << "BEGIN:VCARD\r\n\r\n PHOTO:QQ;\r\nEND:VCARD";
    // A CR decoded from "=0D" in a one-line box went into the middle of the card line.
    QTest::newRow("decoded CR in a name")
        << "BEGIN:VCARD\nN;ENCODING=QUOTED-PRINTABLE:a =0D\nEND:VCARD";
    QTest::newRow("decoded CR in a title")
        << "BEGIN:VCARD\nTITLE;ENCODING=QUOTED-PRINTABLE:t =0D\nEND:VCARD";
    QTest::newRow("decoded CR in a company")
        << "BEGIN:VCARD\nORG;ENCODING=QUOTED-PRINTABLE:=0D o\nEND:VCARD";
    // A photo line folded onto an empty line kept its tab and became part of the line above.
    QTest::newRow("photo folded onto an empty line after a note")
        << "BEGIN:VCARD\nN:a\nNOTE:n\n\n\tphoto::\nEND:VCARD";
    QTest::newRow("photo folded onto an empty line after an address")
        << "BEGIN:VCARD\nADR:;r;\n\n PHOTO::\nEND:VCARD";
    // Read as a photo past the tab, written without it: it must not turn into an e-mail.
    QTest::newRow("tab before a key whose part names a photo")
        << "BEGIN:VCARD\nN:a\n\n\tEMAIL;\"X\"\tphoto::QUJD\nEND:VCARD";
    QTest::newRow("line breaks around a key whose part names a photo")
        << "BEGIN:VCARD\nN:a\n\r\rEMAIL;photo:QUJD\nEMAIL\r;photo:QUJD\nEND:VCARD";
    // Photo data with a colon past the first line's room: the continuation read as a property.
    QTest::newRow("photo address with a port")
        << "BEGIN:VCARD\nPHOTO;VALUE=URI:https://photos.a-rather-long-host-name.example.com:8443/"
           "p/okafor.jpg\nEND:VCARD";
    QTest::newRow("colon in photo data after a long type")
        << "BEGIN:VCARD\nPHOTO;" + QString(64, u'X') + ":a:b\nEND:VCARD";
    QTest::newRow("e-mail type quoted, holding \";\" and \":\"")
        << "BEGIN:VCARD\r\nEMAIL;X-LABEL=\";PREF:first\":second\":jane@example.com\r\nEND:VCARD";
    QTest::newRow("e-mail type with a quote never closed")
        << "BEGIN:VCARD\r\nEMAIL;\"Comb;X:a@example.com\r\nEND:VCARD";
    QTest::newRow("photo type with a quoted colon and a lone CR")
        << "BEGIN:VCARD\r\nPHOTO;X-LABEL=\"a:b\";X\rY;ENCODING=BASE64:QUJD\r\n\r\nEND:VCARD";
    // The golden cards, as exporters write them.
    const QDir dir(QStringLiteral(PENNACLE_TEST_DATA "/cards"));
    for (const QString& file : dir.entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        CollectingReporter reporter;
        const std::vector<ContactEntry> entries =
            scanCards(readCardFile(dir.filePath(file)), reporter);
        for (size_t i = 0; i < entries.size(); ++i)
            QTest::addRow("%s %zu", qPrintable(file), i + 1) << entries[i].card.text();
    }
}

// Cards from the outside world settle too: load and rebuild twice, the second equals the first;
// and no photo is lost or changed by the first rebuild.
void TestRoundTrip::foundCardsSettle() {
    QFETCH(QString, card);
    CollectingReporter reporter;
    const CardForm loaded = loadCardForm(card, reporter);
    const QString c1 = build(loaded, reporter);
    QCOMPARE(photoData(loadCardForm(c1, reporter)), photoData(loaded));
    const QString c2 = build(loadCardForm(c1, reporter), reporter);
    const QString c3 = build(loadCardForm(c2, reporter), reporter);
    QCOMPARE(c3, c2);
}

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
