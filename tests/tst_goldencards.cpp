// Every file under data/cards imports into the names and forms stored beside it: NAME.vcf,
// NAME.names.txt as `pennacle-cli names NAME.vcf` prints it, and per contact the form as
// `pennacle-cli form` prints it: NAME.form.json for the first, NAME.K.form.json for contact K.
// Adding a case means adding the files. PENNACLE_UPDATE_GOLDEN=1 rewrites the stored names and
// forms from today's output, for review. That the cards settle after a rebuild is
// tst_roundtrip's part.

#include "support/clirun.h"
#include "support/files.h"

#include <QDir>
#include <QTest>

namespace {

QDir cardsDir() {
    return QDir(QStringLiteral(PENNACLE_TEST_DATA "/cards"));
}

QStringList cardFiles() {
    return cardsDir().entryList({QStringLiteral("*.vcf")}, QDir::Files);
}

// NAME.form.json for the first contact, NAME.K.form.json for contact K.
QString formFile(const QString& card, int contact) {
    const QString base = card.chopped(4);
    return contact == 1 ? base + QStringLiteral(".form.json")
                        : base + QStringLiteral(".%1.form.json").arg(contact);
}

bool updating() {
    return qEnvironmentVariableIsSet("PENNACLE_UPDATE_GOLDEN");
}

void compareWithStored(const QByteArray& out, const QString& path) {
    if (updating())
        writeBytes(path, out);
    QCOMPARE(QString::fromUtf8(out), QString::fromUtf8(readBytes(path)));
}

}  // namespace

class TestGoldenCards : public QObject {
    Q_OBJECT
private slots:
    void namesAsStored_data() {
        QTest::addColumn<QString>("card");
        const QStringList cards = cardFiles();
        QVERIFY(!cards.isEmpty());
        for (const QString& name : cards)
            QTest::newRow(qPrintable(name)) << cardsDir().filePath(name);
    }

    // The list's names, and a stored form for every contact and no other.
    void namesAsStored() {
        QFETCH(QString, card);
        const CliRun run = runCli({QStringLiteral("names"), card});
        QCOMPARE(run.status, 0);
        compareWithStored(run.out, card.chopped(4) + QStringLiteral(".names.txt"));
        const int contacts = int(run.out.count('\n'));
        for (int k = 1; updating() && k <= contacts; ++k) {
            writeBytes(formFile(card, k), runCli({QStringLiteral("form"), card,
                                                  QStringLiteral("--index"), QString::number(k)})
                                              .out);
        }
        for (int k = 1; k <= contacts + 1; ++k) {
            QVERIFY2(QFile::exists(formFile(card, k)) == (k <= contacts),
                     qPrintable(formFile(card, k)));
        }
    }

    void loadsIntoItsForm_data() {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("contact");
        for (const QString& name : cardFiles()) {
            const QString card = cardsDir().filePath(name);
            for (int k = 1; QFile::exists(formFile(card, k)); ++k)
                QTest::addRow("%s %d", qPrintable(name), k) << card << k;
        }
    }

    void loadsIntoItsForm() {
        QFETCH(QString, card);
        QFETCH(int, contact);
        const CliRun run = runCli(
            {QStringLiteral("form"), card, QStringLiteral("--index"), QString::number(contact)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        compareWithStored(run.out, formFile(card, contact));
    }
};

QTEST_APPLESS_MAIN(TestGoldenCards)
#include "tst_goldencards.moc"
