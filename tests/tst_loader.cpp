#include "cards/loader.h"
#include "cards/propertytable.h"
#include "cards/rebuild.h"
#include "core/ansiencoding.h"
#include "support/collectingreporter.h"

#include <QFile>
#include <QMap>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace pennacle;

namespace {

using Texts = QMap<int, QString>;

// A 2.1 card with CR LF line ends around the given property lines.
QString cardOf(const QStringList& lines, const QString& version = QStringLiteral("2.1")) {
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:") + version + QStringLiteral("\r\n") +
           lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\nEND:VCARD");
}

CardForm load(const CardBytes& card) {
    CollectingReporter reporter;
    CardForm form = loadCardForm(card, reporter);
    if (!reporter.reports.isEmpty())
        qWarning() << reporter.reports;
    return form;
}

}  // namespace

class TestLoader : public QObject {
    Q_OBJECT

private slots:
    void textFields_data();
    void textFields();
    void escapesAndVersions_data();
    void escapesAndVersions();
    void charsets_data();
    void charsets();
    void telephones_data();
    void telephones();
    void emails_data();
    void emails();
    void birthday_data();
    void birthday();
    void notes_data();
    void notes();
    void photoRows();
    void fixtureCardLoadsWithoutReports();
    void emptyCardGivesEmptyForm();
    void heldBytes_data();
    void heldBytes();
    void rebuiltCardLoadsIntoTheSameForm_data();
    void rebuiltCardLoadsIntoTheSameForm();
    void keyLookUpAgreesWithTheRows();
};

void TestLoader::textFields_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<Texts>("texts");

    QTest::newRow("N with prefix, later TITLE")
        << QStringList{"N:Doe;John;Q;Dr.;Jr.", "TITLE:Boss"}
        << Texts{{0, "Doe"}, {1, "John"}, {2, "Q"}, {4, "Boss"}};
    QTest::newRow("N components trimmed, a blank before the CR stays")
        << QStringList{"n;charset=utf-8: Doe ; John "} << Texts{{0, "Doe"}, {1, "John "}};
    QTest::newRow("N quoted-printable, UTF-8")
        << QStringList{"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6rg"}
        << Texts{{0, QStringLiteral("Müller")}, {1, QStringLiteral("Jörg")}};
    QTest::newRow("N quoted-printable, Latin-1")
        << QStringList{"N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller"}
        << Texts{{0, QStringLiteral("Müller")}};
    QTest::newRow("N soft line break")
        << QStringList{"N;ENCODING=QUOTED-PRINTABLE:Lang=", "name;Ann"}
        << Texts{{0, "Langname"}, {1, "Ann"}};
    QTest::newRow("NICKNAME fills nothing, FN beside a name neither")
        << QStringList{"FN:John Doe", "NICKNAME:Jo", "N:Roe;;;"} << Texts{{0, "Roe"}};
    QTest::newRow("FN without a name in N fills First Name, without separators at its ends")
        << QStringList{"N:;;;Dr.;", "FN;CHARSET=UTF-8: :Doe, John; \\", "FN:Other"}
        << Texts{{1, "Doe, John"}, {4, "Dr."}};
    QTest::newRow("ORG with a parameter; blank before CR stays")
        << QStringList{"ORG;CHARSET=UTF-8:Acme;Sales "} << Texts{{3, "Acme;Sales "}};
    QTest::newRow("ORG quoted-printable") << QStringList{"ORG;ENCODING=QUOTED-PRINTABLE:Caf=C3=A9"}
                                          << Texts{{3, QStringLiteral("Café")}};
    QTest::newRow("TITLE with a language")
        << QStringList{"TITLE;LANGUAGE=en:Chief"} << Texts{{4, "Chief"}};
    QTest::newRow("web addresses keep their colons")
        << QStringList{"URL;HOME:http://home.example:8080/a", "URL;WORK:https://work.example/"}
        << Texts{{6, "http://home.example:8080/a"}, {7, "https://work.example/"}};
    QTest::newRow("URL by its parameters: WORK to Website Work, others to Website Home")
        << QStringList{"URL;TYPE=work,pref:http://w.example", "URL;TYPE=pref:http://h.example"}
        << Texts{{6, "http://h.example"}, {7, "http://w.example"}};
    QTest::newRow("grouped properties") << QStringList{"item1.ORG:Acme", "item2.URL;WORK:http://w"}
                                        << Texts{{3, "Acme"}, {7, "http://w"}};
    QTest::newRow("unknown properties")
        << QStringList{"LABEL;HOME:x", "X-FOO:y", "ROLE:z"} << Texts{};
    QTest::newRow("ADR;WORK, seven components")
        << QStringList{"ADR;WORK:;E;S;C;R;Z;K"}
        << Texts{{13, "S"}, {14, "C"}, {15, "R"}, {16, "Z"}, {17, "K"}};
    QTest::newRow("ADR;HOME joins extended address")
        << QStringList{"ADR;HOME:;E;S;C;R;Z;K"}
        << Texts{{8, "E S"}, {9, "C"}, {10, "R"}, {11, "Z"}, {12, "K"}};
    QTest::newRow("ADR without extended address")
        << QStringList{"ADR:;;S;C"} << Texts{{8, "S"}, {9, "C"}};
    QTest::newRow("ADR fields not trimmed, line end gone")
        << QStringList{"ADR;TYPE=home:; ;S ; C ;R;Z "}
        << Texts{{8, "  S "}, {9, " C "}, {10, "R"}, {11, "Z "}};
    QTest::newRow("blank before the CR stays in the last component, trimmed or not")
        << QStringList{"N:Doe;John;Q;Dr. ", "ADR;WORK:;;S;C;R;Z;Country "}
        << Texts{{0, "Doe"}, {1, "John"}, {2, "Q"},  {4, "Dr. "},     {13, "S"},
                 {14, "C"},  {15, "R"},   {16, "Z"}, {17, "Country "}};
    QTest::newRow("ADR with only an extended address")
        << QStringList{"ADR;HOME:;Flat 2 ", "ADR;WORK:;Suite 9"} << Texts{{8, "Flat 2 "}};
    QTest::newRow("ADR street lines") << QStringList{"ADR;WORK:;;Line 1\\nLine 2=0D=0ALine 3=0DEnd"}
                                      << Texts{{13, "Line 1 Line 2 Line 3 End"}};
    QTest::newRow("ADR quoted-printable breaks become spaces")
        << QStringList{"ADR;HOME;ENCODING=QUOTED-PRINTABLE:;;Line 1=0D=0ALine 2;K=C3=B6ln=0A"}
        << Texts{{8, "Line 1 Line 2"}, {9, QStringLiteral("Köln ")}};
}

void TestLoader::textFields() {
    QFETCH(QStringList, lines);
    QFETCH(Texts, texts);
    const CardForm form = load(cardOf(lines));
    for (int i = 0; i < kFieldCount; ++i) {
        QCOMPARE(form.txtTextbox[i], texts.value(i));
    }
}

void TestLoader::escapesAndVersions_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<Texts>("texts");

    QTest::newRow("3.0: escaped ; does not split, \\n is a blank in one-line boxes")
        << "3.0"
        << QStringList{"N:O\\;Brien\\, Jr.;Sean\\nPat;;", "TITLE:Head\\nof Sales",
                       "ORG:A\\,B\\;C;Dept", "ADR;HOME:;;1\\, Main St\\N2nd floor;C\\:ity"}
        << Texts{{0, "O;Brien, Jr."},         {1, "Sean Pat"},
                 {3, "A,B;C;Dept"},           {4, "Head of Sales"},
                 {8, "1, Main St 2nd floor"}, {9, "C:ity"}};
    QTest::newRow("4.0: escapes in e-mail, phone and web address; \\\\ before ;")
        << "4.0"
        << QStringList{"EMAIL:a\\,b@x.example", "TEL:1\\,2", "URL:http\\://x.example/a\\\\",
                       "N:Back\\\\;Slash"}
        << Texts{{0, "Back\\"},
                 {1, "Slash"},
                 {5, "a,b@x.example"},
                 {6, "http://x.example/a\\"},
                 {18, "1,2"}};
    QTest::newRow("2.1: only \\; inside N and ADR components")
        << "2.1"
        << QStringList{"N:Smith\\;Jones;Ann", "ORG:A\\,B\\;C", "ADR;WORK:;;1\\; Main\\nSt;C\\,D"}
        << Texts{
               {0, "Smith;Jones"}, {1, "Ann"}, {3, "A\\,B\\;C"}, {13, "1; Main St"}, {14, "C\\,D"}};
    QTest::newRow("quoted parameters hold colons")
        << "4.0"
        << QStringList{"TEL;TYPE=\"work,voice\";X-LABEL=\"Desk: 2\":tel:+1-555;ext=2",
                       "ADR;GEO=\"geo:1,2\";TYPE=work:;;S;C", "EMAIL;X=\"a:b:x@y"}
        << Texts{{5, "b:x@y"}, {13, "S"}, {14, "C"}, {20, "+1-555;ext=2"}};
    QTest::newRow("quoted-printable e-mail decoded")
        << "2.1" << QStringList{"EMAIL;ENCODING=QUOTED-PRINTABLE:r=C3=A9n=C3=A9e@x.example"}
        << Texts{{5, QStringLiteral("r\u00e9n\u00e9e@x.example")}};
}

void TestLoader::escapesAndVersions() {
    QFETCH(QString, version);
    QFETCH(QStringList, lines);
    QFETCH(Texts, texts);
    const CardForm form = load(cardOf(lines, version));
    for (int i = 0; i < kFieldCount; ++i) {
        QCOMPARE(form.txtTextbox[i], texts.value(i));
    }
}

void TestLoader::charsets_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<Texts>("texts");

    // What reading Shift_JIS bytes as ANSI gives: 佐藤 holds a byte the code page leaves
    // unassigned, and ソ ends in 0x5C, a backslash, right before the ";".
    QStringDecoder ansi("windows-1252");
    QStringEncoder shiftJis("Shift_JIS");
    const auto asRead = [&](const QString& text) {
        const QByteArray bytes = shiftJis.encode(text);
        return QString(ansi.decode(bytes));
    };
    const QString sato = QStringLiteral("\u4f50\u85e4");
    const QString so = QStringLiteral("\u30bd");
    QTest::newRow("Shift_JIS decoded before splitting")
        << cardOf({"N;CHARSET=SHIFT_JIS:" + asRead(sato + ";" + so + ";;;"),
                   "ADR;CHARSET=Shift_JIS:;;" + asRead(so) + ";C"})
        << Texts{{0, sato}, {1, so}, {8, so}, {9, "C"}};
    QTest::newRow("ISO-8859-1 and UTF-8 read as they stand")
        << cardOf({"N;CHARSET=ISO-8859-1:M\u00fcller;\u20ac", "ORG;CHARSET=UTF-8:\u00c3\u00a9"})
        << Texts{{0, QStringLiteral("M\u00fcller")},
                 {1, QStringLiteral("\u20ac")},
                 {3, QStringLiteral("\u00c3\u00a9")}};
    QTest::newRow("a card that is no ANSI reading is left as it is")
        << cardOf({"N;CHARSET=SHIFT_JIS:" + asRead(sato), "FN:" + sato})
        << Texts{{0, asRead(sato)}};
    QTest::newRow("unknown set, or bytes that are no text in it")
        << cardOf({"N;CHARSET=X-NONE:\u00e9", "ORG;CHARSET=SHIFT_JIS:\u0192"})
        << Texts{{0, QStringLiteral("\u00e9")}, {3, QStringLiteral("\u0192")}};
    QTest::newRow("bytes that are no text spoil only their own line")
        << cardOf({"ORG;CHARSET=SHIFT_JIS:\u0192", "N;CHARSET=Shift_JIS:" + asRead(sato)})
        << Texts{{0, sato}, {3, QStringLiteral("\u0192")}};
}

void TestLoader::charsets() {
    QFETCH(QString, card);
    QFETCH(Texts, texts);
    // Held as a file read as ANSI holds it, when it can be.
    const CardForm form =
        load(fitsAnsi(card) ? CardBytes(encodeAnsi(card), CardEncoding::Ansi) : CardBytes(card));
    for (int i = 0; i < kFieldCount; ++i) {
        QCOMPARE(form.txtTextbox[i], texts.value(i));
    }
}

void TestLoader::heldBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<Texts>("texts");
    const int ansi = int(CardEncoding::Ansi);
    const int utf8 = int(CardEncoding::Utf8);
    // Some exporters fold by bytes: the line is joined before it is decoded.
    QTest::newRow("a fold inside a UTF-8 character")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\xC3\r\n \xBCller;J\xC3\xB6rg\r\nEND:VCARD")
        << utf8 << Texts{{0, "M\u00fcller"}, {1, "J\u00f6rg"}};
    QTest::newRow("bytes that are no UTF-8 spoil only themselves")
        << QByteArray("N:Bad\xFF;Ok\r\nORG:\xE2\x82") << utf8
        << Texts{{0, "Bad\ufffd"}, {1, "Ok"}, {3, "\ufffd\ufffd"}};
    QTest::newRow("Windows-1252") << QByteArray("N:M\xFCller;\x80\x81") << ansi
                                  << Texts{{0, "M\u00fcller"}, {1, "\u20ac\u0081"}};
    QTest::newRow("Shift_JIS bytes in an ANSI file")
        << QByteArray("N;CHARSET=SHIFT_JIS:\x8D\xB2\x93\xA1;\x83\x5C;;;") << ansi
        << Texts{{0, "\u4f50\u85e4"}, {1, "\u30bd"}};
    // A 2.1 fold keeps its blank, but not inside a character it cuts.
    QTest::newRow("a 2.1 fold inside a UTF-8 character")
        << QByteArray("VERSION:2.1\r\nN:M\xC3\r\n \xBCller;J\xC3\xB6\r\n rg") << utf8
        << Texts{{0, "M\u00fcller"}, {1, "J\u00f6 rg"}};
    QTest::newRow("a set named in a UTF-8 card is not applied")
        << QByteArray("NOTE;CHARSET=ISO-8859-15:Caf\xC3\xA9 \xE2\x82\xAC") << utf8
        << Texts{{24, "Caf\u00e9 \u20ac"}};
    QTest::newRow("a 4.0 tel: address shows its number; 2.1 keeps all")
        << QByteArray("VERSION:4.0\nTEL;VALUE=uri;TYPE=cell:tel:+234-1\nTEL;WORK:TEL:9") << utf8
        << Texts{{22, "+234-1"}, {20, "9"}};
    QTest::newRow("2.1 keeps tel:") << QByteArray("TEL;WORK:tel:9") << ansi << Texts{{20, "tel:9"}};
    QTest::newRow("CR alone ends lines in a card without LF")
        << QByteArray("BEGIN:VCARD\rN:Doe;Jo\rNOTE:a\rb\rTEL:1\r  END:VCARD") << ansi
        << Texts{{0, "Doe"}, {1, "Jo"}, {18, "1"}, {24, "a\r\nb"}};
}

void TestLoader::heldBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(Texts, texts);
    const CardForm form = load(CardBytes(bytes, CardEncoding(encoding)));
    for (int i = 0; i < kFieldCount; ++i)
        QCOMPARE(form.txtTextbox[i], texts.value(i));
}

void TestLoader::telephones_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<Texts>("texts");
    QTest::addColumn<QString>("boxes");

    QTest::newRow("auto-preferred first, then PREF")
        << QStringList{"TEL;WORK;VOICE:555-1", "TEL;HOME;VOICE;PREF:555-2"}
        << Texts{{20, "555-1"}, {18, "555-2"}} << "101000";
    QTest::newRow("only number") << QStringList{"TEL;CELL:1"} << Texts{{22, "1"}} << "000010";
    QTest::newRow("PREF before others")
        << QStringList{"TEL;PAGER;PREF:9", "TEL;WORK:8"} << Texts{{23, "9"}, {20, "8"}} << "000001";
    QTest::newRow("field choice") << QStringList{"TEL;WORK;CELL:1", "TEL;WORK;PAGER:2", "TEL;FAX:3",
                                                 "TEL;TYPE=WORK,FAX:4", "tel:5"}
                                  << Texts{{22, "1"}, {23, "2"}, {19, "3"}, {21, "4"}, {18, "5"}}
                                  << "000010";
    // A fax is a home fax unless WORK alone names its place; a fax wins over CELL and PAGER.
    QTest::newRow("fax places") << QStringList{"TEL;HOME;WORK;FAX:1", "TEL;FAX;CELL:2",
                                               "TEL;PAGER;FAX;WORK:3", "TEL;HOME;FAX:4"}
                                << Texts{{19, "4"}, {21, "3"}} << "010000";
    QTest::newRow("later line replaces, value untrimmed")
        << QStringList{"TEL;WORK;VOICE:1", "TEL;WORK;VOICE: 2 "} << Texts{{20, " 2 "}} << "001000";
    QTest::newRow("group is no parameter")
        << QStringList{"work.TEL:7"} << Texts{{18, "7"}} << "100000";
    QTest::newRow("blank number is not marked")
        << QStringList{"TEL;HOME: "} << Texts{{18, " "}} << "000000";
}

void TestLoader::telephones() {
    QFETCH(QStringList, lines);
    QFETCH(Texts, texts);
    QFETCH(QString, boxes);
    const CardForm form = load(cardOf(lines));
    for (int i = 18; i <= 23; ++i) {
        QCOMPARE(form.txtTextbox[i], texts.value(i));
    }
    QString gotBoxes;
    for (bool b : form.Check1)
        gotBoxes += b ? u'1' : u'0';
    QCOMPARE(gotBoxes, boxes);
}

void TestLoader::emails_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QString>("hidden");

    QTest::newRow("three addresses")
        << QStringList{"EMAIL;INTERNET;PREF:a@x.example", "EMAIL;PREF;INTERNET:b@x.example",
                       "EMAIL:c@x.example"}
        << QStringList{"a@x.example", "b@x.example", "c@x.example"}
        << QStringList{"INTERNET", "PREF", "EMAIL"} << "c@x.example";
    QTest::newRow("type trimmed and upper-cased, group ignored")
        << QStringList{"item1.EMAIL; type=work :w@x.example", "EMAIL;;x:e@x.example"}
        << QStringList{"w@x.example", "e@x.example"} << QStringList{"TYPE=WORK", "EMAIL"}
        << "e@x.example";
    QTest::newRow("empty last address keeps the hidden one")
        << QStringList{"EMAIL:a@x.example", "EMAIL:"} << QStringList{"a@x.example", ""}
        << QStringList{"EMAIL", "EMAIL"} << "a@x.example";
}

void TestLoader::emails() {
    QFETCH(QStringList, lines);
    QFETCH(QStringList, addresses);
    QFETCH(QStringList, types);
    QFETCH(QString, hidden);
    const CardForm form = load(cardOf(lines));
    QCOMPARE(form.Combo1, addresses);
    QCOMPARE(form.Combo2, types);
    QCOMPARE(form.Combo1Index, 0);
    QCOMPARE(form[HiddenEmail], hidden);
}

void TestLoader::birthday_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QDate>("date");

    QTest::newRow("eight digits") << "BDAY:19800517" << QDate(1980, 5, 17);
    QTest::newRow("ISO date") << "BDAY:1980-05-17" << QDate(1980, 5, 17);
    QTest::newRow("ISO with time") << "BDAY:1980-05-17T10:00:00Z" << QDate(1980, 5, 17);
    QTest::newRow("eight digits with time") << "BDAY:19531015T231000Z" << QDate(1953, 10, 15);
    QTest::newRow("with a parameter") << "bday;value=date:1980-05-17" << QDate(1980, 5, 17);
    QTest::newRow("leap day") << "BDAY:20000229" << QDate(2000, 2, 29);
    QTest::newRow("no such day") << "BDAY:19990229" << noBirthday();
    QTest::newRow("month 13") << "BDAY:1980-13-01" << noBirthday();
    QTest::newRow("no year") << "BDAY:--0517" << noBirthday();
    QTest::newRow("no year, ISO") << "BDAY:--05-17" << noBirthday();
    QTest::newRow("letters") << "BDAY:1980O517" << noBirthday();
    QTest::newRow("a text value") << "BDAY;VALUE=text:circa 1850" << noBirthday();
    QTest::newRow("before 1900") << "BDAY:1885-03-04" << QDate(1885, 3, 4);
    QTest::newRow("the first day the picker takes") << "BDAY:16010101" << QDate(1601, 1, 1);
    QTest::newRow("the day before it") << "BDAY:1600-12-31" << noBirthday();
    QTest::newRow("the last day of 1900") << "BDAY:19001231" << QDate(1900, 12, 31);
}

void TestLoader::birthday() {
    QFETCH(QString, line);
    QFETCH(QDate, date);
    QCOMPARE(load(cardOf({line})).dtpBirthday, date);
}

void TestLoader::notes_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("notes");

    QTest::newRow("CR LF continuation lines, no trailing break, the blank before a CR kept")
        << "BEGIN:VCARD\r\nNOTE:l1\r\nl2\r\n\r\nl3 \r\nEND:VCARD"
        << "l1\r\nl2\r\nl3 ";
    QTest::newRow("blanks before LF go") << "NOTE: l1 \nl2 \nEND:VCARD"
                                         << "l1\r\nl2";
    QTest::newRow("LF card lines still separated") << "NOTE:l1\nl2\nEND:VCARD"
                                                   << "l1\r\nl2";
    QTest::newRow("a colon ends the note") << "NOTE:a\r\nb: c\r\nd\r\n"
                                           << "a";
    QTest::newRow("second NOTE replaces") << "NOTE:a\nb\nNOTE:c"
                                          << "c";
    QTest::newRow("the rebuild's form") << "NOTE;QUOTED-PRINTABLE:a=0D=0A=0D=0Ab=3D1 x=y=0D=0A\r\n"
                                        << "a\r\n\r\nb=1 x=y\r\n";
    QTest::newRow("quoted-printable with soft breaks")
        << "NOTE;ENCODING=QUOTED-PRINTABLE:Gr=C3=BC=C3=9Fe=0D=0A=\r\nzwei=0Adrei\r\n"
        << QStringLiteral("Grüße\r\nzwei\r\ndrei");
    QTest::newRow("other notes keep the old marker") << "NOTE:a=0D=0A=b=0D=0Ac\r"
                                                     << "a\r\nb=0D=0Ac";
    QTest::newRow("folded in 3.0") << "VERSION:3.0\r\nNOTE:long\r\n  line\r\n"
                                   << "long line";
    QTest::newRow("lone CR and CR CR LF decoded become CR LF")
        << "NOTE;ENCODING=QUOTED-PRINTABLE:a=0Db=0D=0D=0Ac\r\n"
        << "a\r\nb\r\n\r\nc";
    QTest::newRow("blanks go from the ends, not around breaks")
        << "NOTE;ENCODING=QUOTED-PRINTABLE:=20=20a=0A=20=20\r\n"
        << "a\r\n";
    QTest::newRow("nothing but blanks, decoded or before the CR")
        << "NOTE;ENCODING=QUOTED-PRINTABLE:=20 \r\n"
        << "";
}

void TestLoader::notes() {
    QFETCH(QString, card);
    QFETCH(QString, notes);
    QCOMPARE(load(card)[Notes], notes);
}

void TestLoader::photoRows() {
    const QString card =
        cardOf({"PHOTO;JPEG;BASE64:", "  QUJD", "  REVG", "", "PHOTO:R0hJ",
                "X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64:SktM", "N;ENCODING=QUOTED-PRINTABLE:A",
                "PHOTO;VALUE=URI:", "", "\tPHOTO;PNG:QUFB"});
    const CardForm form = load(card);
    const std::vector<PhotoEntry> expected{
        {"JPEG 1", "QUJDREVG", "PHOTO;JPEG;BASE64:"},
        {"Photo 2", "R0hJ", "PHOTO:"},
        {"TYPE=JPEG 3", "SktM", "X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64:"},
        {"PNG 4", "QUFB", "PHOTO;PNG:"}};  // folded onto the empty line: the tab is not kept
    QCOMPARE(form.photos, expected);
    QCOMPARE(form.photoIndex, 1);
    QCOMPARE(form[LastName], QStringLiteral("A"));
}

void TestLoader::fixtureCardLoadsWithoutReports() {
    QFile file(QStringLiteral(PENNACLE_TEST_DATA "/loader-outlook-style-card.vcf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString card = QString::fromUtf8(file.readAll());
    CollectingReporter reporter;
    const CardForm form = loadCardForm(card, reporter);
    QVERIFY(reporter.reports.isEmpty());
    QCOMPARE(form[LastName], QStringLiteral("Lindqvist"));
    QCOMPARE(form[HomeAddress], QStringLiteral("Suite 4 Harbour Road 12"));
    QCOMPARE(form[Notes], QStringLiteral("Met at the fair.\r\nPrefers mornings."));
    QCOMPARE(form.photos.size(), size_t(1));
    QCOMPARE(form.photos[0].PhotoData.right(5), QStringLiteral("//2Q="));
    QCOMPARE(loadCardForm(card, reporter), form);
}

void TestLoader::emptyCardGivesEmptyForm() {
    CardForm kept;  // a line no box shows is all that the form holds
    kept.otherLines.append(u"X-UNKNOWN:1");
    QCOMPARE(load(cardOf({"X-UNKNOWN:1"})), kept);
    QCOMPARE(load(QString()), CardForm());
}

void TestLoader::rebuiltCardLoadsIntoTheSameForm_data() {
    QTest::addColumn<QString>("card");

    QFile file(QStringLiteral(PENNACLE_TEST_DATA "/loader-outlook-style-card.vcf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTest::newRow("fixture") << QString::fromUtf8(file.readAll());
    QTest::newRow("every field") << cardOf({"N:Doe;John;Q;Dr.",
                                            "ORG:Acme",
                                            "TITLE:Boss",
                                            "BDAY:1980-05-17",
                                            "URL;HOME:http://h.example",
                                            "URL;WORK:http://w.example",
                                            "EMAIL;INTERNET:a@x.example",
                                            "EMAIL;TYPE=WORK:b@x.example",
                                            "ADR;HOME:;E;S;C;R;Z;K",
                                            "ADR;WORK:;;S2;C2;R2;Z2;K2",
                                            "TEL;HOME:1",
                                            "TEL;HOME;FAX:2",
                                            "TEL;WORK;PREF:3",
                                            "TEL;WORK;FAX:4",
                                            "TEL;CELL:5",
                                            "TEL;PAGER:6",
                                            "NOTE:a",
                                            "",
                                            "b = c",
                                            "PHOTO;JPEG;BASE64:",
                                            "  QUJD",
                                            ""});
    QTest::newRow("quoted-printable note with blank lines")
        << cardOf({"NOTE;ENCODING=QUOTED-PRINTABLE:x=0D=0A=0D=0Ay=3D=0D=0A"});
}

void TestLoader::rebuiltCardLoadsIntoTheSameForm() {
    QFETCH(QString, card);
    const CardForm form = load(card);
    CollectingReporter reporter;
    const CardBytes rebuilt =
        rebuildCard(form, QDateTime(QDate(2021, 8, 31), QTime(12, 0)), reporter);
    QVERIFY(reporter.reports.isEmpty());
    QCOMPARE(load(rebuilt), form);
}

QTEST_GUILESS_MAIN(TestLoader)
// The look-up by key that readers of first lines use finds the row that the full test finds,
// in any case and with any parameters; a name that only a whole part matches has no key row.
void TestLoader::keyLookUpAgreesWithTheRows() {
    for (const PropertyRow& row : kProperties) {
        const QString name = row.name;
        const PropertyRow* byKey = row.test == Test::Key ? &row : nullptr;
        QCOMPARE(propertyRowOfKey(name.toLower()), byKey);
        if (row.test == Test::Key)
            QCOMPARE(propertyRowOf(QStringLiteral("grp.") + name + QStringLiteral(";X=1")), &row);
    }
    QCOMPARE(propertyRowOfKey(u"TEL\u212A"), nullptr);
    QCOMPARE(propertyRowOfKey(u"T\u00C9L"), nullptr);
}

#include "tst_loader.moc"
