#include "cards/displayname.h"
#include "support/collectingreporter.h"

#include <QTest>

using namespace pennacle;

class TestDisplayName : public QObject {
    Q_OBJECT
private slots:
    void getName_data();
    void getName();
    void fallbacks_data();
    void fallbacks();
};

void TestDisplayName::getName_data() {
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("name");

    const auto row = [](const char* tag, const char* lines, const char* name) {
        QTest::newRow(tag) << QString::fromUtf8(lines) << QString::fromUtf8(name);
    };
    row("full", "N:Doe;John;Q;;", "Doe, John Q");
    row("no middle", "N:Doe;John;;;", "Doe, John");
    row("last only keeps comma", "N:Doe;;;;", "Doe,");
    row("no first", "N:Doe;;Q;;", "Doe,  Q");
    row("no last", "N:;John;Q;;", "John Q");
    row("all empty, FN too: no contact", "N:;;;;\r\nFN: \r\nVERSION:3.0", "");
    row("only FN", "FN:John Doe", "John Doe");
    row("empty value", "N:", "");
    row("N before FN", "FN:Someone Else\nN:Doe;John", "Doe, John");
    row("lower case with parameter", "n;charset=utf-8:Doe;John", "Doe, John");
    row("CR never reaches the name", "N:Doe;John\r", "Doe, John");
    row("quoted-printable", "N;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6rg",
        "M\xc3\xbcller, J\xc3\xb6rg");
    row("later line replaces last only", "N:Doe;John;Q\nN:Smith", "Smith, John Q");
    row("value ends at second colon", "N:Doe;John:Jr", "Doe, John");
    row("prefix and suffix ignored", "N:Doe;John;Q;Dr.;III", "Doe, John Q");
    row("blanks trimmed, tabs kept", "N:  Doe ; \tJohn ;", "Doe, \tJohn");
    row("key test, not name test", "N ;X-PARAM=1:Doe;John", "Doe, John");
    row("other keys starting with N", "NICKNAME:Jo\nNOTE:x;y", "(no name)");
    row("line without colon", "N Doe;John", "");
    row("escaped semicolon stays in part", "N;ENCODING=QUOTED-PRINTABLE:A=3BB;C", "A;B, C");
    row("charset of the line", "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J",
        "M\xc3\xbcller, J");
    row("lower-case escapes", "N;ENCODING=QUOTED-PRINTABLE:m=c3=bcller;", "m\xc3\xbcller,");
    row("plain line not decoded", "N:A=3DB;C", "A=3DB, C");
    row("group prefix", "item1.N;CHARSET=UTF-8:Doe;John", "Doe, John");
    row("soft line break", "N;ENCODING=QUOTED-PRINTABLE:M=C3=BC=\r\nller;J=C3=B6rg\r",
        "M\xc3\xbcller, J\xc3\xb6rg");
    row("soft line break keeps blanks", "N;ENCODING=QUOTED-PRINTABLE:Doe;Jo=\r\n hn\r",
        "Doe, Jo hn");
    row("folded 2.1 keeps blank", "VERSION:2.1\r\nN:Doe;Jo\r\n hn\r", "Doe, Jo hn");
    row("folded 3.0 drops blank", "VERSION:3.0\r\nN:Doe;Jo\r\n hn\r", "Doe, John");
    row("folded 4.0 by tab", "VERSION:4.0\nN:Doe;\n\tJohn", "Doe, John");
    row("folded before the value", "VERSION:3.0\r\nN;CHARSET=UTF-8\r\n :Doe;John\r", "Doe, John");
    row("3.0 escapes", "VERSION:3.0\nN:O\\;Brien\\, Jr.;Se\\:an", "O;Brien, Jr., Se:an");
    row("2.1 escaped semicolon", "N:Smith\\;Jones;Ann", "Smith;Jones, Ann");
    row("quoted parameter holds a colon", "N;X=\"a:b\":Doe;John", "Doe, John");
    // Physical lines that look like N lines but belong to the line above.
    row("N: after a soft break is the note's",
        "N:Doe;John\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=\r\nN:Roe;Jane\r", "Doe, John");
    row("N: after a fold is the note's", "N:Doe;John\r\nNOTE:a\r\n N:Roe;Jane\r", "Doe, John");
    row("N after a photo's padding starts a line",
        "PHOTO;ENCODING=BASE64:\r\n  QUJD\r\n  RA==\r\nN:Roe;Jane\r", "Roe, Jane");
    row("quote before the key's end", "N\"x\":Doe;John\r\nFN:F", "F");
}

// A card whose N gives no name is listed under what else names it, in this order.
void TestDisplayName::fallbacks_data() {
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("name");

    const auto row = [](const char* tag, const char* lines, const char* name) {
        QTest::newRow(tag) << QString::fromUtf8(lines) << QString::fromUtf8(name);
    };
    row("FN, trimmed and decoded", "VERSION:3.0\nN:;;;;\nFN: Richter\\, James \r\nORG:O",
        "Richter, James");
    row("quoted-printable FN", "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=B6rg\nORG:O",
        "J\xc3\xb6rg");
    row("first ORG component", "FN:\nORG: Example Widgets\\, Inc.;Sales\nEMAIL:e@x\nVERSION:4.0",
        "Example Widgets, Inc.");
    row("2.1 ORG keeps its backslash", "ORG:A\\,B;Sales", "A\\,B");
    row("first e-mail, decoded", "TEL:1\nEMAIL:\nEMAIL;ENCODING=QUOTED-PRINTABLE:r=C3=A9e@x\r",
        "r\xc3\xa9"
        "e@x");
    row("first number", "N:;;;;\nTEL: \nTEL;CELL:080-5555 \r\nX-IRMC-LUID:3", "080-5555");
    row("nothing that names it", "N:;;;;\nNOTE:Gate code", "(no name)");
    row("an N holding only a prefix is a property", "N:;;;Dr.;", "(no name)");
    row("an empty property is one too", "TEL:", "(no name)");
    row("only identifiers", "UID:1\nREV:2\nX-IRMC-LUID:3", "(no name)");
    row("nothing at all", "VERSION:2.1\r\nN:;;;;\r\nFN:\r\nno colon", "");
}

void TestDisplayName::fallbacks() {
    getName();
}

void TestDisplayName::getName() {
    QFETCH(QString, lines);
    QFETCH(QString, name);
    const QString card = QStringLiteral("BEGIN:VCARD\r\n") + lines + QStringLiteral("\nEND:VCARD");
    CollectingReporter reporter;
    QCOMPARE(GetName(card, reporter), name);
    QCOMPARE(reporter.reports, QStringList());
}

QTEST_GUILESS_MAIN(TestDisplayName)
#include "tst_displayname.moc"
