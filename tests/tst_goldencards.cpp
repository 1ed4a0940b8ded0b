// Every card under data/cards loads into the form stored beside it: NAME.vcf and
// NAME.form.json, the form as `pennacle-cli form` prints it. Adding a case means adding the two
// files. Every shipped sample under Samples/ likewise loads, as "Load Sample/Example Files"
// takes it, into data/samples/NAME.form.json. PENNACLE_UPDATE_GOLDEN=1 rewrites the stored
// forms from today's output, for review.

// The form's JSON form lives in the command-line program, so its source is compiled in here.
#include "cli/formjson.cpp"

#include "cards/displayname.h"
#include "cards/loader.h"
#include "cards/rebuild.h"
#include "cards/textfile.h"
#include "support/clirun.h"
#include "support/collectingreporter.h"
#include "support/files.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace pennacle;

namespace {

void compareWithGolden(const QByteArray& form, const QString& formPath) {
    if (qEnvironmentVariableIsSet("PENNACLE_UPDATE_GOLDEN"))
        writeBytes(formPath, form);
    QCOMPARE(QString::fromUtf8(form), QString::fromUtf8(readBytes(formPath)));
}

}  // namespace

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
        compareWithGolden(run.out, formPath);
    }

    void sampleLoadsAndSettles_data() {
        QTest::addColumn<QString>("sample");
        // Every file, as the program loads every file of the folder.
        const QDir dir(QStringLiteral(PENNACLE_SAMPLES_DIR));
        const QStringList samples = dir.entryList(QDir::Files | QDir::Hidden);
        QVERIFY(samples.size() >= 5);
        for (const QString& name : samples)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    // The whole file is one card text; it shows a name and its fields, and an edit that
    // changes nothing settles at once: the second rebuild equals the first.
    void sampleLoadsAndSettles() {
        QFETCH(QString, sample);
        CollectingReporter reporter;
        const QString text = ReadWholeFile(sample);
        QVERIFY(!GetName(text, reporter).isEmpty());
        const CardForm form = loadCardForm(text, reporter);
        compareWithGolden(cli::formToJson(form), QStringLiteral(PENNACLE_TEST_DATA "/samples/") +
                                                     QFileInfo(sample).completeBaseName() +
                                                     QStringLiteral(".form.json"));

        const QDateTime now(QDate(2021, 8, 31), QTime(12, 0, 1));
        const QString c1 = rebuildCard(form, now, reporter);
        const QString c2 = rebuildCard(loadCardForm(c1, reporter), now, reporter);
        QCOMPARE(c2, c1);
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join('\n')));
    }
};

QTEST_APPLESS_MAIN(TestGoldenCards)
#include "tst_goldencards.moc"
