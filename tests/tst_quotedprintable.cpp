#include "vcard/quotedprintable.h"

#include <QStringDecoder>
#include <QTest>

using namespace pennacle;

class TestQuotedPrintable : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void decodesLongValuesInFull();
    void singleByteSetsDecodeAsEachByteAlone_data();
    void singleByteSetsDecodeAsEachByteAlone();
};

void TestQuotedPrintable::decode_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("decoded");

    const auto row = [](const char* name, const char* value, const QString& decoded,
                        const char* charset = "") {
        QTest::newRow(name) << QString::fromUtf8(value) << QString::fromUtf8(charset) << decoded;
    };
    row("empty", "", QString());
    row("two-byte", "=C3=A9", QStringLiteral("\u00e9"));
    row("three-byte", "=E2=82=AC", QStringLiteral("\u20ac"));
    row("copyright", "=C2=A9", QStringLiteral("\u00a9"));
    row("four-byte", "=F0=9F=98=80", QStringLiteral("\U0001F600"));
    row("literals between escapes", "M=C3=BCller", QStringLiteral("M\u00fcller"));
    row("lower-case digits", "=c3=a9", QStringLiteral("\u00e9"));
    row("escaped signs survive", "=3D=3B", QStringLiteral("=;"));
    row("literal semicolon stays", "=41;=42", QStringLiteral("A;B"));
    row("line break escapes", "l1=0D=0Al2", QStringLiteral("l1\r\nl2"));
    row("stray equals dropped", "a=b=", QStringLiteral("ab"));
    row("half escape dropped", "=4", QStringLiteral("4"));
    row("soft break sign dropped", "abc=\r", QStringLiteral("abc\r"));
    row("non-hex after equals", "=G1x", QStringLiteral("G1x"));
    row("literal non-ascii", "\xc3\xa9=41", QStringLiteral("\u00e9A"));
    // Named UTF-8: bytes that form no character are dropped; the rest of the value still decodes.
    row("lone continuation", "=80A", QStringLiteral("A"), "UTF-8");
    row("invalid lead", "=C1=BFA=FF", QStringLiteral("A"), "UTF-8");
    row("overlong slash", "=C0=AF/", QStringLiteral("/"), "UTF-8");
    row("overlong three-byte", "=E0=80=AFx", QStringLiteral("x"), "UTF-8");
    row("encoded surrogate", "=ED=A0=80x", QStringLiteral("x"), "UTF-8");
    row("beyond U+10FFFF", "=F4=90=80=80x", QStringLiteral("x"), "UTF-8");
    row("truncated sequence", "=E2=82", QString(), "UTF-8");
    row("lead then ascii", "=C3(", QStringLiteral("("), "UTF-8");
    row("run broken by literal", "=C3x=A9", QStringLiteral("x"), "UTF-8");
    // No set named: a run that is no UTF-8 is Windows-1252, and never makes ASCII.
    row("ansi letter", "Stra=DFe K=F6ln", QStringLiteral("Stra\u00dfe K\u00f6ln"));
    row("ansi euro and unassigned byte", "=80=81", QStringLiteral("\u20ac\u0081"));
    row("overlong slash as ansi", "=C0=AF/", QStringLiteral("\u00c0\u00af/"));
    row("truncated sequence as ansi", "=E2=82", QStringLiteral("\u00e2\u201a"));
    row("each run judged alone", "=C3=A9 =E9", QStringLiteral("\u00e9 \u00e9"));
    row("latin-1 charset", "=E9t=E9", QStringLiteral("\u00e9t\u00e9"), "ISO-8859-1");
    row("latin-1 by another name", "=E9=", QStringLiteral("\u00e9"), "Latin1");
    row("windows-1252 charset", "=80 =E9", QStringLiteral("\u20ac \u00e9"), "windows-1252");
    row("utf-8 charset by name", "=C3=A9", QStringLiteral("\u00e9"), "utf-8");
    row("unknown charset reads UTF-8", "=C3=A9", QStringLiteral("\u00e9"), "x-no-such-set");
    row("invalid in named charset", "a=81b", QStringLiteral("ab"), "Shift_JIS");
    // Sets of one byte a character are read through a table made from their decoder.
    row("KOI8-R", "=C1=E9 =81", QStringLiteral("\u0430\u0418 \u2502"), "KOI8-R");
    row("ISO-8859-5, twice in a row", "=C1x=E9", QStringLiteral("\u0421x\u0449"), "iso-8859-5");
    row("windows-1251 by its short name", "=C1=E9", QStringLiteral("\u0411\u0439"), "CP1251");
    // Decoders are kept from one value to the next: this one ends in the two-byte mode.
    row("ISO-2022-JP, shifted at the end", "=30=21=1B=24=42", QStringLiteral("0!"), "ISO-2022-JP");
}

void TestQuotedPrintable::decode() {
    QFETCH(QString, value);
    QFETCH(QString, charset);
    QFETCH(QString, decoded);
    QCOMPARE(DecodeQuotedPrintable(value, charset), decoded);
    QCOMPARE(DecodeQuotedPrintable(value, charset), decoded);  // by the decoder kept
}

void TestQuotedPrintable::decodesLongValuesInFull() {
    QString value;
    for (int i = 0; i < 20000; ++i) {
        value += QStringLiteral("=C3=A9");
    }
    QCOMPARE(DecodeQuotedPrintable(value), QString(20000, QChar(0x00E9)));
}

// Their table is made in one decoder call over all bytes: it must hold what each byte gives
// alone, a byte that forms no character dropped.
void TestQuotedPrintable::singleByteSetsDecodeAsEachByteAlone_data() {
    QTest::addColumn<QString>("charset");
    QStringList names{"KOI8-R", "KOI8-U"};
    for (int n = 1250; n <= 1258; ++n)
        names << QStringLiteral("windows-%1").arg(n);
    for (int n = 2; n <= 15; ++n) {
        if (n != 12)  // never assigned
            names << QStringLiteral("ISO-8859-%1").arg(n);
    }
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << name;
}

void TestQuotedPrintable::singleByteSetsDecodeAsEachByteAlone() {
    QFETCH(QString, charset);
    QStringDecoder decoder(charset.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        QSKIP("a set that Qt does not know here");
    QString value;
    QString expected;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString alone = decoder.decode(QByteArrayView(&byte, 1));
        if (alone.size() == 1 && alone[0] != QChar::ReplacementCharacter)
            expected += alone;
        value += QStringLiteral("=%1").arg(b, 2, 16, QChar(u'0'));
    }
    QCOMPARE(DecodeQuotedPrintable(value, charset), expected);
}

QTEST_GUILESS_MAIN(TestQuotedPrintable)
#include "tst_quotedprintable.moc"
