#include "cards/propertyreader.h"
#include "cards/propertytable.h"
#include "vcard/cardlines.h"

#include <QList>
#include <QStringList>
#include <QTest>

using namespace pennacle;

class TestCardLines : public QObject {
    Q_OBJECT

private slots:
    void splitCardLines_data();
    void splitCardLines();
    void foldingDropsBlank_data();
    void foldingDropsBlank();
    void propertyTests_data();
    void propertyTests();
    void charsetOf_data();
    void charsetOf();
    void partsOfALine();
    void keyNotReadFromTheLineStart();
    void longFoldedValueIsJoinedWhole();
    void readerRows_data();
    void readerRows();
};

void TestCardLines::splitCardLines_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<qsizetype>>("offsets");

    QTest::newRow("lines keep their CR")
        << QStringLiteral("A:1\r\nB:2\r\n") << QStringList{"A:1\r", "B:2\r", ""}
        << QList<qsizetype>{0, 5, 10};
    QTest::newRow("LF only") << QStringLiteral("A:1\nB:2") << QStringList{"A:1", "B:2"}
                             << QList<qsizetype>{0, 4};
    QTest::newRow("empty card") << QString() << QStringList{} << QList<qsizetype>{};
    QTest::newRow("fold keeps its blank in 2.1")
        << QStringLiteral("VERSION:2.1\r\nNOTE:ab\r\n cd\r\nX:1")
        << QStringList{"VERSION:2.1\r", "NOTE:ab cd\r", "X:1"} << QList<qsizetype>{0, 13, 27};
    QTest::newRow("fold keeps its blank without VERSION")
        << QStringLiteral("NOTE:ab\n\tcd") << QStringList{"NOTE:ab\tcd"} << QList<qsizetype>{0};
    QTest::newRow("fold drops one blank in 3.0")
        << QStringLiteral("VERSION:3.0\r\nNOTE:ab\r\n  cd\r\n\tef")
        << QStringList{"VERSION:3.0\r", "NOTE:ab cdef"} << QList<qsizetype>{0, 13};
    QTest::newRow("fold drops one blank in 4.0, VERSION after the fold")
        << QStringLiteral("NOTE:ab\n cd\nVERSION:4.0") << QStringList{"NOTE:abcd", "VERSION:4.0"}
        << QList<qsizetype>{0, 12};
    QTest::newRow("soft break joins the next line as it stands")
        << QStringLiteral("NOTE;ENCODING=QUOTED-PRINTABLE:a=3D=\r\n b=\r\nc\r\nX:1")
        << QStringList{"NOTE;ENCODING=QUOTED-PRINTABLE:a=3D bc\r", "X:1"}
        << QList<qsizetype>{0, 46};
    QTest::newRow("soft break in 3.0 keeps the leading blank")
        << QStringLiteral("VERSION:3.0\nN;encoding=quoted-printable:M=\n =C3=BCller")
        << QStringList{"VERSION:3.0", "N;encoding=quoted-printable:M =C3=BCller"}
        << QList<qsizetype>{0, 12};
    QTest::newRow("soft break, then a fold")
        << QStringLiteral("VERSION:3.0\nNOTE;ENCODING=QUOTED-PRINTABLE:a=\nb\n c")
        << QStringList{"VERSION:3.0", "NOTE;ENCODING=QUOTED-PRINTABLE:abc"}
        << QList<qsizetype>{0, 12};
    QTest::newRow("a fold that ends in = is then a soft break")
        << QStringLiteral("NOTE;ENCODING=QUOTED-PRINTABLE:a\n b=\nc")
        << QStringList{"NOTE;ENCODING=QUOTED-PRINTABLE:a bc"} << QList<qsizetype>{0};
    QTest::newRow("= ends a plain line without joining")
        << QStringLiteral("PHOTO;BASE64:QUJD=\r\n\r\nX:1")
        << QStringList{"PHOTO;BASE64:QUJD=\r", "\r", "X:1"} << QList<qsizetype>{0, 20, 22};
    QTest::newRow("a photo marked quoted-printable ends at its = padding")
        << QStringLiteral("PHOTO;ENCODING=QUOTED-PRINTABLE:QQ=\nPHOTO:QUJD")
        << QStringList{"PHOTO;ENCODING=QUOTED-PRINTABLE:QQ=", "PHOTO:QUJD"}
        << QList<qsizetype>{0, 36};
    QTest::newRow("= in the property part is no soft break")
        << QStringLiteral("X;ENCODING=QUOTED-PRINTABLE=\nY:1")
        << QStringList{"X;ENCODING=QUOTED-PRINTABLE=", "Y:1"} << QList<qsizetype>{0, 29};
    QTest::newRow("soft break on the last line stays")
        << QStringLiteral("NOTE;ENCODING=QUOTED-PRINTABLE:a=")
        << QStringList{"NOTE;ENCODING=QUOTED-PRINTABLE:a="} << QList<qsizetype>{0};
    QTest::newRow("a quoted parameter's colon does not end the property part")
        << QStringLiteral("NOTE;X=\"a:b\";ENCODING=QUOTED-PRINTABLE:x=\r\ny\r\nZ:1")
        << QStringList{"NOTE;X=\"a:b\";ENCODING=QUOTED-PRINTABLE:xy\r", "Z:1"}
        << QList<qsizetype>{0, 46};
    QTest::newRow("soft break after a colon that a fold brought")
        << QStringLiteral("VERSION:3.0\r\nN;ENCODING=QUOTED-PRINTABLE\r\n :A=\r\nB")
        << QStringList{"VERSION:3.0\r", "N;ENCODING=QUOTED-PRINTABLE:AB"}
        << QList<qsizetype>{0, 13};
    QTest::newRow("CR alone ends lines in a card without LF")
        << QStringLiteral("A:1\rB:2\r C") << QStringList{"A:1", "B:2 C"} << QList<qsizetype>{0, 4};
    QTest::newRow("a lone CR in a card with LF stays in its line")
        << QStringLiteral("A:1\rB\nC:2") << QStringList{"A:1\rB", "C:2"} << QList<qsizetype>{0, 6};
    QTest::newRow("an indented END:VCARD is no fold")
        << QStringLiteral("TEL:1\r\n \tend:vcard") << QStringList{"TEL:1\r", " \tend:vcard"}
        << QList<qsizetype>{0, 7};
    QTest::newRow("2.1 photo block")
        << QStringLiteral("PHOTO;JPEG;BASE64:\r\n  QUJD\r\n  REVG\r\n\r\nEND:VCARD")
        << QStringList{"PHOTO;JPEG;BASE64:  QUJD  REVG\r", "\r", "END:VCARD"}
        << QList<qsizetype>{0, 36, 38};
}

void TestCardLines::splitCardLines() {
    QFETCH(QString, card);
    QFETCH(QStringList, texts);
    QFETCH(QList<qsizetype>, offsets);

    QStringList gotTexts;
    QList<qsizetype> gotOffsets;
    for (const CardLine& line : pennacle::splitCardLines(card)) {
        gotTexts << line.text;
        gotOffsets << line.offset;
    }
    QCOMPARE(gotTexts, texts);
    QCOMPARE(gotOffsets, offsets);

    // The walker finds the same lines, whether a line's text is asked for or not, and the key
    // it reads on the way is the one plainKeyOf reads.
    const CardBytes bytes(card);
    CardLineWalker walker(bytes);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QVERIFY(walker.next());
        QCOMPARE(walker.offset(), offsets[i]);
        QCOMPARE(walker.plainKey(), plainKeyOf(walker.firstLine()));
        if (i % 2 == 0)
            QCOMPARE(walker.decodedText(), texts[i]);
    }
    QVERIFY(!walker.next());
}

void TestCardLines::foldingDropsBlank_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<bool>("drops");

    QTest::newRow("2.1") << QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\n") << false;
    QTest::newRow("3.0 with blanks and CR") << QStringLiteral("VERSION: 3.0 \r\n") << true;
    QTest::newRow("4.0 lower case, grouped") << QStringLiteral("a.version:4.0") << true;
    QTest::newRow("no VERSION") << QStringLiteral("N:Doe\nNOTE:VERSION:3.0") << false;
    QTest::newRow("first VERSION decides") << QStringLiteral("VERSION:2.1\nVERSION:3.0") << false;
    QTest::newRow("VERSION with a parameter") << QStringLiteral("VERSION;X=1:3.0") << true;
}

void TestCardLines::foldingDropsBlank() {
    QFETCH(QString, card);
    QFETCH(bool, drops);
    QCOMPARE(pennacle::foldingDropsBlank(card.toUtf8()), drops);
}

void TestCardLines::propertyTests_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("key");
    QTest::addColumn<bool>("name");
    QTest::addColumn<bool>("parameter");

    QTest::newRow("bare name") << "N"
                               << "N" << true << true << true;
    QTest::newRow("any case, blanks") << " tel;Work "
                                      << "TEL" << true << false << true;
    QTest::newRow("parameters") << "TEL;WORK;VOICE"
                                << "WORK" << false << false << true;
    QTest::newRow("group") << "item1.EMAIL;TYPE=INTERNET"
                           << "EMAIL" << true << false << true;
    QTest::newRow("group is no parameter") << "work.TEL"
                                           << "WORK" << false << false << false;
    QTest::newRow("group on a bare name") << "home.URL"
                                          << "URL" << true << true << true;
    QTest::newRow("dot in a parameter") << "URL;X=a.b"
                                        << "URL" << true << false << true;
    QTest::newRow("tab is not trimmed") << "N\t"
                                        << "N" << false << false << true;
    QTest::newRow("prefix of a longer name") << "NOTE"
                                             << "N" << false << false << true;
}

void TestCardLines::propertyTests() {
    QFETCH(QString, part);
    QFETCH(QString, word);
    QFETCH(bool, key);
    QFETCH(bool, name);
    QFETCH(bool, parameter);

    const QByteArray latin = word.toLatin1();
    QCOMPARE(keyIs(part, QLatin1String(latin)), key);
    // The key read from a line's start is the one keyIs tests.
    const QString line = part + QStringLiteral(":value");
    const std::optional<QStringView> plainKey = plainKeyOf(line);
    QVERIFY(plainKey);
    QCOMPARE(plainKey->compare(word, Qt::CaseInsensitive) == 0, key);
    QCOMPARE(nameIs(part, QLatin1String(latin)), name);
    QCOMPARE(hasParameter(part, QLatin1String(latin)), parameter);
}

void TestCardLines::charsetOf_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("charset");

    QTest::newRow("none") << "N;ENCODING=QUOTED-PRINTABLE"
                          << "";
    QTest::newRow("among others") << "N;charset=ISO-8859-1;ENCODING=QUOTED-PRINTABLE"
                                  << "ISO-8859-1";
    QTest::newRow("last, quoted") << "NOTE;CHARSET=\"UTF-8\""
                                  << "UTF-8";
}

void TestCardLines::charsetOf() {
    QFETCH(QString, part);
    QFETCH(QString, charset);
    QCOMPARE(pennacle::charsetOf(part), charset);
}

// A quote before the key's end, or a line with neither ";" nor ":", leaves the key to the
// full reading of the logical line.
void TestCardLines::keyNotReadFromTheLineStart() {
    QVERIFY(!plainKeyOf(u"N\"x\":Doe"));
    QVERIFY(!plainKeyOf(u"folded name"));
    QVERIFY(!plainKeyOf(u""));
    QCOMPARE(*plainKeyOf(u"X;P=\"a:b\":c"), u"X");
}

void TestCardLines::partsOfALine() {
    const QString line = QStringLiteral("URL;HOME:http://example.org:8080/\r");
    QCOMPARE(propertyPartOf(line), u"URL;HOME");
    QCOMPARE(valueOf(line), u"http://example.org:8080/\r");
    QCOMPARE(withoutLineEnd(valueOf(line)), u"http://example.org:8080/");
    QCOMPARE(valueOf(u"no colon"), QStringView());
    QCOMPARE(propertyPartOf(u"ADR;GEO=\"geo:1,2\";X=\"a:b\":;;S:x"),
             u"ADR;GEO=\"geo:1,2\";X=\"a:b\"");
    QCOMPARE(propertyPartOf(u"TEL;X=\"open:1"), u"TEL;X=\"open");  // never closed
    QCOMPARE(trimBlanks(u"  a b\t "), u"a b\t");
    QCOMPARE(stripCR(u"a\rb\r"), QStringLiteral("ab"));
    QVERIFY(isBlankLine(u"\r"));
    QVERIFY(!isBlankLine(u" \r"));
    QVERIFY(isQuotedPrintable(u"NOTE;Encoding=Quoted-Printable"));
    QVERIFY(!isQuotedPrintable(u"NOTE;QUOTED-PRINTABLE"));
}

void TestCardLines::longFoldedValueIsJoinedWhole() {
    const QString chunk =
        QStringLiteral("QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJz");
    QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\nPHOTO;JPEG;BASE64:\r\n");
    QString joined = QStringLiteral("PHOTO;JPEG;BASE64:");
    for (int i = 0; i < 2000; ++i) {
        card += QStringLiteral("  ") + chunk + QStringLiteral("\r\n");
        joined += QStringLiteral("  ") + chunk;
    }
    card += QStringLiteral("\r\nEND:VCARD");
    const std::vector<CardLine> lines = pennacle::splitCardLines(card);
    QCOMPARE(lines.size(), size_t(5));
    QCOMPARE(lines[2].text, joined + QLatin1Char('\r'));
    QCOMPARE(lines[4].text, QStringLiteral("END:VCARD"));
    QCOMPARE(lines[4].offset, card.size() - 9);
}

// The row that the reader finds for a line, from its first physical line where it can, is the
// one that the whole line's property part gives: the first row whose test passes, whatever
// the key says.
void TestCardLines::readerRows_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("row");  // the row's name; empty for none
    QTest::addColumn<bool>("fromFirstLine");
    QTest::newRow("key") << "TEL;CELL:1" << QString("TEL") << true;
    QTest::newRow("group and case") << "item1.tel;type=cell:1" << QString("TEL") << true;
    QTest::newRow("a photo word before a later key row")
        << "REV;X-PHOTO=1:2020" << QString("PHOTO") << true;
    QTest::newRow("an earlier key row wins") << "EMAIL;PHOTO:a@b" << QString("EMAIL") << true;
    QTest::newRow("a name row") << "item2.NICKNAME:Jo" << QString("NICKNAME") << true;
    QTest::newRow("a name row with parameters") << "NICKNAME;X=1:Jo" << QString("") << true;
    QTest::newRow("photo by a parameter")
        << "X-A;x-ms-cardpicture:QUJD" << QString("X-MS-CARDPICTURE") << true;
    QTest::newRow("the group is not searched") << "PHOTO.X-A:1" << QString("") << true;
    QTest::newRow("unknown") << "X-FOO:1" << QString("") << true;
    QTest::newRow("blank before the name") << " FN:Jo" << QString("FN") << true;
    QTest::newRow("tab before the name") << "\tFN:Jo" << QString("FN") << false;
    QTest::newRow("CR in the key") << "FN\r;X:Jo\r\n" << QString("FN") << false;
    QTest::newRow("CR after the key") << "NICKNAME;X\r:Jo\r\n" << QString("") << true;
    QTest::newRow("CR ends a name") << "NICKNAME\r:Jo\r\n" << QString("NICKNAME") << false;
    QTest::newRow("quote before the key ends") << "N\"x\":Doe" << QString("") << false;
    QTest::newRow("colon on a folded line") << "NOTE;X=\"a\r\n b\":c" << QString("NOTE") << false;
    QTest::newRow("a continuation line") << "no colon here" << QString("") << false;
    QTest::newRow("non-ASCII key") << "F\u00d1:x" << QString("") << true;
}

void TestCardLines::readerRows() {
    QFETCH(QString, line);
    QFETCH(QString, row);
    QFETCH(bool, fromFirstLine);
    const CardBytes card(line);
    PropertyReader reader(card);
    QVERIFY(reader.next());
    QCOMPARE(reader.knowsRowFromFirstLine(), fromFirstLine);
    const PropertyRow* found = reader.row();
    QCOMPARE(found ? QString(found->name) : QString(), row);
    if (reader.isProperty())
        QCOMPARE(found, propertyRowOf(reader.property().part()));
    else
        QVERIFY(!found);
}

QTEST_APPLESS_MAIN(TestCardLines)
#include "tst_cardlines.moc"
