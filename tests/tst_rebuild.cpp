#include "cards/displayname.h"
#include "cards/loader.h"
#include "cards/rebuild.h"
#include "support/collectingreporter.h"

#include <QTest>

using namespace pennacle;

Q_DECLARE_METATYPE(CardForm)

namespace {

const QDateTime kNow(QDate(2024, 2, 3), QTime(21, 5, 7));

// The card that the rebuild must give: BEGIN, VERSION, the given lines, the empty line (or
// photo lines) before REV, REV at kNow, END; joined by CR LF with nothing after END.
QString expectedCard(const QStringList& middle, const QString& photoBlock = QString()) {
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:2.1")};
    lines += middle;
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") + photoBlock +
           QStringLiteral("\r\nREV:20240203T210507\r\nEND:VCARD");
}

CardForm withText(std::initializer_list<std::pair<FormField, QString>> texts) {
    CardForm form;
    for (const auto& [field, text] : texts) {
        form[field] = text;
    }
    return form;
}

const QString kEmptyName = QStringLiteral("N:;;;");
const QString kEmptyFullName = QStringLiteral("FN:  ");

}  // namespace

class TestRebuild : public QObject {
    Q_OBJECT
private slots:
    void composes_data();
    void composes();
    void editKeepsTheRest_data();
    void editKeepsTheRest();
    void longValuesAreWrittenInFull();
    void storesIntoCurrentContactOnly();
    void shownNameIsTheNewCards_data();
    void shownNameIsTheNewCards();
    void emptyListIsNoFailure();
    void noCurrentRowIsReported();
    void dateAndTime_data();
    void dateAndTime();
};

void TestRebuild::composes_data() {
    QTest::addColumn<CardForm>("form");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty form") << CardForm{} << expectedCard({kEmptyName, kEmptyFullName});
    QTest::newRow("no middle initial leaves two blanks")
        << withText({{LastName, "Smith"}, {FirstName, "John"}})
        << expectedCard({"N:Smith;John;;", "FN:John  Smith"});
    QTest::newRow("title is the fourth name component")
        << withText({{LastName, "Doe"}, {FirstName, "John"}, {MiddleInitial, "Q"}, {Title, "Dr."}})
        << expectedCard({"N:Doe;John;Q;Dr.", "FN:John Q Doe"});
    // A ";" is escaped inside its component; FN, which is not split, has it as a blank.
    QTest::newRow("separators in names: \\; inside N, blanks in FN")
        << withText({{LastName, " a;b:c "}, {FirstName, "=20,"}})
        << expectedCard({"N: a\\;b c ;=20,;;", "FN:=20,   a b c "});
    // Text outside ASCII: quoted-printable UTF-8 of the whole value, its separators, escapes
    // and blanks as they stand, so every line is ASCII.
    QTest::newRow("accented name: quoted-printable UTF-8, separators and escapes kept")
        << withText({{LastName, " a;b:c "}, {FirstName, "=20,\u00e9"}})
        << expectedCard({"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE: a\\;b c ;=3D20,=C3=A9;;",
                         "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=3D20,=C3=A9   a b c "});
    QTest::newRow("every box outside ASCII, Windows-1252 lacking some")
        << withText({{HomeVoice, "+81 \u2013 555"},
                     {Company, "\u5c71\u7530 \U0001F600"},
                     {WebsiteHome, "http://b\u00fccher.example"},
                     {WorkCity, "G\u00f6teborg "},
                     {Notes, "\u00c5\r\nx=1\nend"}})
        << expectedCard(
               {kEmptyName, kEmptyFullName,
                "TEL;HOME;VOICE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:+81 =E2=80=93 555",
                "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85=0D=0Ax=3D1=0D=0Aend",
                "ORG;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=B1=B1=E7=94=B0 =F0=9F=98=80",
                "URL;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:http://b=C3=BCcher.example",
                "ADR;WORK;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;;G=C3=B6teborg ;;;"});
    QTest::newRow("phone number, company and note written as typed")
        << withText({{HomeVoice, "tel:+1-555-0100;ext=102"},
                     {Company, "Acme;Sales: East"},
                     {Notes, "Call at 10:30; bring docs"}})
        << expectedCard({kEmptyName, kEmptyFullName, "TEL;HOME;VOICE:tel:+1-555-0100;ext=102",
                         "NOTE;QUOTED-PRINTABLE:Call at 10:30; bring docs",
                         "ORG:Acme;Sales: East"});
    QTest::newRow("backslashes that end a component before its ; become blanks")
        << withText({{LastName, "a\\ \\"},
                     {MiddleInitial, "b\\c"},
                     {Title, "t\\"},
                     {HomeAddress, "s\\"},
                     {HomeCountry, "k\\"}})
        << expectedCard({"N:a   ;;b\\c;t\\", "FN: b\\c a   ", "ADR;HOME:;;s ;;;;k\\"});
    CardForm breaks = withText({{LastName, "a \r"},
                                {Title, "\n"},
                                {Company, "\r o"},
                                {WebsiteHome, "h\r\nx"},
                                {HomeCity, "c\nd"},
                                {HiddenEmail, "e\r"}});
    QTest::newRow("line breaks in one-line boxes become blanks")
        << breaks
        << expectedCard({"N:a  ;;; ", "FN:  a  ", "EMAIL;INTERNET;PREF:e ", "ORG:  o",
                         "URL;HOME:h  x", "ADR;HOME:;;;c d;;;"});
    CardForm entryBreaks = withText({{HiddenEmail, "x"}});
    entryBreaks.Combo1 = QStringList{"a\r\n@x", "b@x"};
    entryBreaks.Combo2 = QStringList{"INTER\nNET", "\r"};
    QTest::newRow("line breaks in e-mail entries become blanks")
        << entryBreaks
        << expectedCard({kEmptyName, kEmptyFullName, "EMAIL;INTER NET;PREF:a  @x", "EMAIL; :b@x"});
    QTest::newRow("a box of blanks is written")
        << withText({{Cellular, "  "}})
        << expectedCard({kEmptyName, kEmptyFullName, "TEL;CELL:  "});

    CardForm phones = withText({{Pager, "p"},
                                {Cellular, "c"},
                                {WorkFax, "wf"},
                                {WorkVoice, "wv"},
                                {HomeFax, "hf"},
                                {HomeVoice, "hv"},
                                {Company, "Acme"}});
    phones.Check1 = {true, false, false, true, true, false};
    QTest::newRow("phones in fixed order with PREF")
        << phones
        << expectedCard({kEmptyName, kEmptyFullName, "TEL;HOME;VOICE;PREF:hv", "TEL;WORK;VOICE:wv",
                         "TEL;CELL;PREF:c", "TEL;HOME;FAX:hf", "TEL;WORK;FAX;PREF:wf",
                         "TEL;PAGER:p", "ORG:Acme"});
    CardForm prefOnly;
    prefOnly.preferred(PhoneKind::WorkVoice) = true;
    QTest::newRow("PREF of an empty phone writes nothing")
        << prefOnly << expectedCard({kEmptyName, kEmptyFullName});

    QTest::newRow("note's = signs escaped, a last = included")
        << withText({{Notes, "x=1 =0D\r\n="}})
        << expectedCard({kEmptyName, kEmptyFullName, "NOTE;QUOTED-PRINTABLE:x=3D1 =3D0D=0D=0A=3D"});
    QTest::newRow("every kind of break in a note, empty lines included")
        << withText({{Notes, "a\n\nb\rc\r\n\r\nd\r\n"}})
        << expectedCard({kEmptyName, kEmptyFullName,
                         "NOTE;QUOTED-PRINTABLE:a=0D=0A=0D=0Ab=0D=0Ac=0D=0A=0D=0Ad=0D=0A"});

    QTest::newRow("web addresses keep their colons and semicolons")
        << withText(
               {{WebsiteWork, "https://w.example:8080/a;b"}, {WebsiteHome, "http://h.example"}})
        << expectedCard({kEmptyName, kEmptyFullName, "URL;HOME:http://h.example",
                         "URL;WORK:https://w.example:8080/a;b"});
    QTest::newRow("a lone home zip")
        << withText({{HomeZip, "12345"}})
        << expectedCard({kEmptyName, kEmptyFullName, "ADR;HOME:;;;;;12345;"});
    QTest::newRow("work address before home address")
        << withText({{HomeAddress, "1 Home St"},
                     {HomeCountry, "HC"},
                     {WorkAddress, "Work;St"},
                     {WorkCity, "WC"},
                     {WorkRegion, "WR"},
                     {WorkZip, "WZ"},
                     {WorkCountry, "WK:"}})
        << expectedCard({kEmptyName, kEmptyFullName, "ADR;WORK:;;Work\\;St;WC;WR;WZ;WK ",
                         "ADR;HOME:;;1 Home St;;;;HC"});

    CardForm birthday;
    birthday.dtpBirthday = QDate(1980, 3, 5);
    QTest::newRow("birthday") << birthday
                              << expectedCard({kEmptyName, kEmptyFullName, "BDAY:19800305"});

    CardForm entriesNoHolder;
    entriesNoHolder.Combo1 = QStringList{"a@x.example", "b@x.example"};
    entriesNoHolder.Combo2 = QStringList{"INTERNET", "WORK"};
    QTest::newRow("e-mail entries with an empty holder")
        << entriesNoHolder << expectedCard({kEmptyName, kEmptyFullName});
    CardForm oneEntry = withText({{HiddenEmail, "held@x.example"}});
    oneEntry.Combo1 = QStringList{"a@x.example"};
    oneEntry.Combo2 = QStringList{"WORK"};
    QTest::newRow("one entry is written from the holder as INTERNET")
        << oneEntry
        << expectedCard({kEmptyName, kEmptyFullName, "EMAIL;INTERNET;PREF:held@x.example"});
    QTest::newRow("holder without entries")
        << withText({{HiddenEmail, "h;1@x"}})
        << expectedCard({kEmptyName, kEmptyFullName, "EMAIL;INTERNET;PREF:h;1@x"});
    CardForm entries = withText({{HiddenEmail, "ignored"}});
    entries.Combo1 = QStringList{"a;1@x.example", "b:2@x.example", "c@x.example"};
    entries.Combo2 = QStringList{"INTERNET", "WORK"};
    QTest::newRow("several entries, written unchanged, PREF on the first")
        << entries
        << expectedCard({kEmptyName, kEmptyFullName, "EMAIL;INTERNET;PREF:a;1@x.example",
                         "EMAIL;WORK:b:2@x.example", "EMAIL;:c@x.example"});
    CardForm quotedPrintable = withText({{HiddenEmail, "held"}});
    quotedPrintable.Combo1 = QStringList{"a=b@x.example", "c=d@x.example"};
    quotedPrintable.Combo2 = QStringList{"HOME;ENCODING=QUOTED-PRINTABLE", "WORK"};
    QTest::newRow("= escaped under a type that marks the address quoted-printable")
        << quotedPrintable
        << expectedCard({kEmptyName, kEmptyFullName,
                         "EMAIL;HOME;ENCODING=QUOTED-PRINTABLE;PREF:a=3Db@x.example",
                         "EMAIL;WORK:c=d@x.example"});
    // Read alone, the "." would make everything before it a group name.
    quotedPrintable.Combo2 = QStringList{"X.ENCODING=QUOTED-PRINTABLE.Y", "WORK"};
    QTest::newRow("= escaped under a type with a dot that marks it quoted-printable")
        << quotedPrintable
        << expectedCard({kEmptyName, kEmptyFullName,
                         "EMAIL;X.ENCODING=QUOTED-PRINTABLE.Y;PREF:a=3Db@x.example",
                         "EMAIL;WORK:c=d@x.example"});
    // The type is written as typed, outside ASCII too; the address says how it is encoded.
    quotedPrintable.Combo1 = QStringList{"j=\u00f6@x.example", "\u00e5@x.example", "c@x"};
    quotedPrintable.Combo2 = QStringList{"HOME;ENCODING=QUOTED-PRINTABLE", "ARBET\u00c9", "W"};
    QTest::newRow("addresses outside ASCII, under a quoted-printable type and a typed one")
        << quotedPrintable
        << expectedCard(
               {kEmptyName, kEmptyFullName,
                "EMAIL;HOME;ENCODING=QUOTED-PRINTABLE;PREF;CHARSET=UTF-8:j=3D=C3=B6@x.example",
                "EMAIL;ARBET\u00c9;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=A5@x.example",
                "EMAIL;W:c@x"});
    QTest::newRow("one address outside ASCII")
        << withText({{HiddenEmail, "\u00e5@x"}})
        << expectedCard({kEmptyName, kEmptyFullName,
                         "EMAIL;INTERNET;PREF;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=A5@x"});

    CardForm photo;
    photo.photos = {{"JPEG 1", QString(52, u'Q'), "PHOTO;JPEG;BASE64:"},
                    {"Photo 2", QString(), "PHOTO;;BASE64:"}};
    QTest::newRow("photo block, then the empty line")
        << photo
        << expectedCard({kEmptyName, kEmptyFullName},
                        "PHOTO;JPEG;BASE64:" + QString(46, u'Q') + "\r\n  QQQQQQ\r\n");

    CardForm full = withText({{LastName, "Doe"},
                              {FirstName, "Jane"},
                              {Company, "Acme"},
                              {HiddenEmail, "j@x.example"},
                              {WebsiteHome, "h.example"},
                              {HomeCity, "Town"},
                              {WorkCity, "City"},
                              {HomeVoice, "1"},
                              {Notes, "hi"}});
    full.dtpBirthday = QDate(1970, 12, 31);
    full.photos = {{"JPEG 1", "QUJD", "PHOTO;JPEG;BASE64:"}};
    QTest::newRow("every item in table order")
        << full
        << expectedCard({"N:Doe;Jane;;", "FN:Jane  Doe", "TEL;HOME;VOICE:1",
                         "EMAIL;INTERNET;PREF:j@x.example", "NOTE;QUOTED-PRINTABLE:hi", "ORG:Acme",
                         "URL;HOME:h.example", "ADR;WORK:;;;City;;;", "ADR;HOME:;;;Town;;;",
                         "BDAY:19701231"},
                        "PHOTO;JPEG;BASE64:QUJD\r\n");
}

void TestRebuild::editKeepsTheRest_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<QStringList>("kept");  // lines of the card rebuilt after a note's edit
    const auto card = [](const QStringList& lines, const char* version = "2.1") {
        return "BEGIN:VCARD\r\nVERSION:" + QString::fromLatin1(version) + "\r\n" +
               lines.join("\r\n") + "\r\nEND:VCARD";
    };
    QTest::newRow("name suffix, post-office box, work extended part")
        << card({"N:Smith;John;Q;Dr.;Jr.",
                 "ADR;WORK:PO Box 4410;Suite 300;1200 Meridian Avenue;Springfield;IL;62701;USA"})
        << QStringList{"N:Smith;John;Q;Dr.;Jr.",
                       "ADR;WORK:PO Box 4410;Suite 300;1200 Meridian Avenue;Springfield;IL;62701;"
                       "USA"};
    QTest::newRow("a title line takes the prefix")
        << card({"N:Smith;John;Q;Dr.;Jr.", "TITLE:Manager"})
        << QStringList{"N:Smith;John;Q;Manager;Jr."};
    QTest::newRow("a title line before the name is kept")
        << card({"TITLE:Manager", "N:Smith;John;Q;Dr."})
        << QStringList{"VERSION:2.1\r\nTITLE:Manager", "N:Smith;John;Q;Dr."};
    QTest::newRow("replaced: a second number, address and web address of a kind")
        << card({"TEL;CELL:1", "ADR;HOME:;;A;;;;", "URL;HOME:a", "TEL;CELL:2", "ADR;HOME:;;B;;;;",
                 "URL;HOME:b", "ORG:X", "ORG:Y"})
        << QStringList{"TEL;CELL:1",      "ADR;HOME:;;A;;;;", "URL;HOME:a",       "ORG:X",
                       "TEL;CELL;PREF:2", "URL;HOME:b",       "ADR;HOME:;;B;;;;", "ORG:Y"};
    QTest::newRow("lines no box shows, as they stand")
        << card({"X-A;ENCODING=QUOTED-PRINTABLE:a=", "b", "NICKNAME:Jo", "UID:123", "X-F:long",
                 " folded", "item1.X-ABLabel:Office", "BDAY:--0203",
                 "PHOTO;VALUE=URL:http://example.org/a.jpg"})
        << QStringList{"X-A;ENCODING=QUOTED-PRINTABLE:a=\r\nb",
                       "NICKNAME:Jo",
                       "UID:123",
                       "X-F:long\r\n folded",
                       "item1.X-ABLabel:Office",
                       "BDAY:--0203",
                       "PHOTO;VALUE=URL:http://example.org/a.jpg"};
    for (const auto& [birthday, written] :
         {std::pair{"1885-03-04", "18850304"}, std::pair{"1604-02-03", "16040203"},
          std::pair{"1900-01-02", "19000102"}, std::pair{"--0203", "--0203"}}) {
        QTest::addRow("birthday %s", birthday) << card({QStringLiteral("BDAY:") + birthday})
                                               << QStringList{QStringLiteral("BDAY:") + written};
    }
    QTest::newRow("Base64 data up to its empty line")
        << card({"KEY;ENCODING=BASE64:", "QUJD", "REVG", "", "X-B:1"})
        << QStringList{"KEY;ENCODING=BASE64:\r\nQUJD\r\nREVG\r\n\r\nX-B:1"};
    QTest::newRow("3.0 lines in their 2.1 form")
        << card({"N:A;B;;;", "TEL;TYPE=CELL,VOICE:1", "TEL;TYPE=cell:2", "X-B:a\\,b\\nc\\;d",
                 "X-C:long", " folded"},
                "3.0")
        << QStringList{"TEL;CELL;VOICE:1", "X-B;QUOTED-PRINTABLE:a,b=0D=0Ac\\;d", "X-C:longfolded",
                       "N:A;B;;"};
}

// Every line that the edit does not touch is still there, and the card settles.
void TestRebuild::editKeepsTheRest() {
    QFETCH(QString, card);
    QFETCH(QStringList, kept);
    CollectingReporter reporter;
    CardForm form = loadCardForm(card, reporter);
    form[Notes] = QStringLiteral("edited");
    const CardBytes edited = rebuildCard(form, kNow, reporter);
    for (const QString& line : kept)
        QVERIFY2(edited.text().contains(line + "\r\n"), qPrintable(line + "\n" + edited.text()));
    const CardBytes again = rebuildCard(loadCardForm(edited, reporter), kNow, reporter);
    QCOMPARE(rebuildCard(loadCardForm(again, reporter), kNow, reporter).text(), again.text());
    QCOMPARE(reporter.reports, QStringList());
}

void TestRebuild::composes() {
    QFETCH(CardForm, form);
    QFETCH(QString, expected);
    CollectingReporter reporter;
    QCOMPARE(rebuildCard(form, kNow, reporter).text(), expected);
    QVERIFY(reporter.reports.isEmpty());
}

void TestRebuild::longValuesAreWrittenInFull() {
    CardForm form;
    QString note;
    for (int i = 0; i < 20000; ++i) {
        note += QStringLiteral("ab=\r\n");
    }
    form[Notes] = note;
    form[LastName] = QString(40000, u'n');
    CollectingReporter reporter;
    const QString card = rebuildCard(form, kNow, reporter).text();
    QVERIFY(reporter.reports.isEmpty());
    QVERIFY(
        card.contains(QStringLiteral("\r\nN:") + QString(40000, u'n') + QStringLiteral(";;;\r\n")));
    QVERIFY(card.contains(QStringLiteral("\r\nNOTE;QUOTED-PRINTABLE:") +
                          QStringLiteral("ab=3D=0D=0A").repeated(20000) + QStringLiteral("\r\n")));
}

void TestRebuild::storesIntoCurrentContactOnly() {
    const std::vector<ContactEntry> contacts{{"Old Name", QString("BEGIN:VCARD\r\nEND:VCARD")},
                                             {"Other", QString("other card")}};
    const CardForm form = withText({{LastName, "New"}});
    CollectingReporter reporter;
    for (const qsizetype current : {0, 1}) {
        const std::optional<CardReplacement> rebuilt =
            rebuildCurrentCard(contacts, current, form, kNow, reporter);
        QVERIFY(rebuilt);
        QCOMPARE(rebuilt->row, current);
        QCOMPARE(rebuilt->card, rebuildCard(form, kNow, reporter));
        QCOMPARE(rebuilt->Text, QStringLiteral("New,"));
    }
    QVERIFY(reporter.reports.isEmpty());
}

void TestRebuild::shownNameIsTheNewCards_data() {
    QTest::addColumn<CardForm>("form");
    QTest::addColumn<QString>("name");
    CardForm photo = withText({{LastName, "Poe"}});
    photo.photos = {{"Photo1", QString(100000, u'A'), "PHOTO;JPEG;BASE64:"}};
    CardForm namelessPhoto = withText({{Company, "Acme;Sales"}});
    namelessPhoto.photos = photo.photos;
    // A ";" stays in its component, a ":" and a closing backslash become blanks.
    QTest::newRow("separators and accents")
        << withText({{LastName, " M\u00fcller;b "}, {FirstName, "J:\\"}})
        << QString::fromUtf8("M\u00fcller;b, J");
    QTest::newRow("beside a photo") << photo << "Poe,";
    QTest::newRow("company beside a photo") << namelessPhoto << "Acme";
    QTest::newRow("nothing") << CardForm{} << "(no name)";
}

void TestRebuild::shownNameIsTheNewCards() {
    QFETCH(CardForm, form);
    QFETCH(QString, name);
    const std::vector<ContactEntry> contacts{
        {"Old Name", QString("BEGIN:VCARD\r\nN:Old;Name\r\nEND:VCARD")}};
    CollectingReporter reporter;
    const std::optional<CardReplacement> rebuilt =
        rebuildCurrentCard(contacts, 0, form, kNow, reporter);
    QVERIFY(rebuilt);
    QCOMPARE(rebuilt->Text, name);
    // As import names the card.
    QCOMPARE(GetName(rebuilt->card, reporter), name);
    QVERIFY(reporter.reports.isEmpty());
}

void TestRebuild::emptyListIsNoFailure() {
    CollectingReporter reporter;
    QVERIFY(!rebuildCurrentCard({}, -1, withText({{LastName, "x"}}), kNow, reporter));
    QVERIFY(reporter.reports.isEmpty());
}

void TestRebuild::noCurrentRowIsReported() {
    const std::vector<ContactEntry> contacts{{"Old Name", QString("BEGIN:VCARD\r\nEND:VCARD")}};
    CollectingReporter reporter;
    QVERIFY(!rebuildCurrentCard(contacts, -1, withText({{LastName, "x"}}), kNow, reporter));
    QCOMPARE(reporter.reports.size(), 1);
    QVERIFY(reporter.reports.first().startsWith(QStringLiteral("No contact is selected")));
    QVERIFY(reporter.reports.first().contains(QStringLiteral("at line 158")));
}

void TestRebuild::dateAndTime_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("evening") << QDateTime(QDate(1980, 3, 5), QTime(21, 5, 7)) << "19800305"
                             << "210507";
    QTest::newRow("midnight") << QDateTime(QDate(2000, 12, 31), QTime(0, 0, 0)) << "20001231"
                              << "000000";
    QTest::newRow("three-digit year") << QDateTime(QDate(800, 1, 2), QTime(9, 59, 59)) << "08000102"
                                      << "095959";
}

void TestRebuild::dateAndTime() {
    QFETCH(QDateTime, moment);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QCOMPARE(FormatVCardDate(moment.date()), date);
    QCOMPARE(FormatVCardTime(moment.time()), time);
}

QTEST_GUILESS_MAIN(TestRebuild)
#include "tst_rebuild.moc"
