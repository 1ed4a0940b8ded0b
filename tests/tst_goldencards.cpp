// Every card under data/cards loads into the form stored beside it: NAME.vcf and
// NAME.form.json, the form as `pennacle-cli form` prints it. Adding a case means adding the two
// files. PENNACLE_UPDATE_GOLDEN=1 rewrites the stored forms from today's output, for review.

#include "support/clirun.h"
#include "support/files.h"

#include <QDir>
#include <QTest>

class TestGoldenCards : public QObject {
    Q_OBJECT
private slots:
    void loadsIntoItsForm_data() {
        QTest::addColumn<QString>("card");
        const QDir dir(QStringLiteral(PENNACLE_TEST_DATA "/cards"));
        const QStringList cards = dir.entryList({QStringLiteral("*.vcf")}, QDir::Files);
        QVERIFY(!cards.isEmpty());
        for (const QString& name : cards)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void loadsIntoItsForm() {
        QFETCH(QString, card);
        const QString formPath = card.chopped(4) + QStringLiteral(".form.json");
        const CliRun run = runCli({QStringLiteral("form"), card});
        QCOMPARE(run.status, 0);
        if (qEnvironmentVariableIsSet("PENNACLE_UPDATE_GOLDEN"))
            writeBytes(formPath, run.out);
        QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(readBytes(formPath)));
    }
};

QTEST_APPLESS_MAIN(TestGoldenCards)
#include "tst_goldencards.moc"
