#include "core/guard.h"
#include "support/collectingreporter.h"

#include <QTest>

#include <stdexcept>

using namespace pennacle;

namespace {
const QString kTag = QStringLiteral("in Pennacle2021/08/31.Form1.PushButton6_Click ");
const QString kSupport =
    QStringLiteral("Please email screenshot of this message to support@pennacle-suite.example");

// An unguarded routine: its failure belongs to the guarded caller.
int failingCallee(QStringList& trace) {
    trace << QStringLiteral("callee start");
    throw Failure(QStringLiteral("Subscript out of range"));
}
}  // namespace

class TestGuard : public QObject {
    Q_OBJECT
private slots:
    void reportLayout_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "File not found" << 104
                               << "File not found\r\n" + kTag + "at line 104\r\r" + kSupport;
        QTest::newRow("empty description")
            << QString() << 100 << "\r\n" + kTag + "at line 100\r\r" + kSupport;
    }
    void reportLayout() {
        QFETCH(QString, description);
        QFETCH(int, line);
        QFETCH(QString, expected);
        QCOMPARE(composeReport(description, kTag, line), expected);
        QCOMPARE(procedureTag("Form1", "PushButton6_Click"), kTag);
    }

    void failuresAreReportedInOrderAndStepsGoOn() {
        CollectingReporter reporter;
        QStringList trace;
        Guard g(reporter, kTag);
        g(100, [&] { throw Failure(QStringLiteral("first")); });
        g(102, [&] { trace << QStringLiteral("102 ran"); });
        g(104, [&] { throw std::runtime_error("second"); });
        g(106, [&] { trace << QStringLiteral("106 ran"); });
        QCOMPARE(trace, QStringList({"102 ran", "106 ran"}));
        QCOMPARE(reporter.reports.size(), 2);
        QVERIFY(reporter.reports[0].startsWith("first\r\n" + kTag + "at line 100\r\r"));
        QVERIFY(reporter.reports[1].startsWith("second\r\n" + kTag + "at line 104\r\r"));
    }

    void failingConditionRunsTheGuardedSteps() {
        CollectingReporter reporter;
        Guard g(reporter, kTag);
        bool guardedRan = false;
        if (g.test(100, []() -> bool { throw Failure(QStringLiteral("Type mismatch")); })) {
            g(100, [&] { guardedRan = true; });
        }
        QVERIFY(guardedRan);
        QCOMPARE(reporter.reports.size(), 1);
        QVERIFY(!g.test(102, [] { return false; }));
        QCOMPARE(reporter.reports.size(), 1);
    }

    void unguardedCalleeIsReportedByTheCaller() {
        CollectingReporter reporter;
        QStringList trace;
        Guard g(reporter, kTag);
        g(100, [&] { trace << QStringLiteral("100"); });
        g(102, [&] {
            failingCallee(trace);
            trace << QStringLiteral("after call in the same step");
        });
        g(104, [&] { trace << QStringLiteral("104"); });
        QCOMPARE(trace, QStringList({"100", "callee start", "104"}));
        QCOMPARE(reporter.reports,
                 QStringList({"Subscript out of range\r\n" + kTag + "at line 102\r\r" + kSupport}));
    }

    void loopFailingEveryIterationReportsEachTime() {
        CollectingReporter reporter;
        Guard g(reporter, kTag);
        int iterations = 0;
        for (int i = 0; i < 3; ++i) {
            g(110, [&] { throw Failure(QString::number(i)); });
            g(112, [&] { ++iterations; });
        }
        QCOMPARE(iterations, 3);
        QCOMPARE(reporter.reports.size(), 3);
        QVERIFY(reporter.reports[2].startsWith("2\r\n"));
    }

    void nestedGuardedProcedureReportsItself() {
        CollectingReporter reporter;
        Guard outer(reporter, procedureTag("Form1", "PushButton2_Click"));
        bool outerGoesOn = false;
        outer(100, [&] {
            Guard inner(reporter, procedureTag("modVCard", "GetName"));
            inner(104, [] { throw Failure(QStringLiteral("inner")); });
        });
        outer(102, [&] { outerGoesOn = true; });
        QVERIFY(outerGoesOn);
        QCOMPARE(reporter.reports.size(), 1);
        QVERIFY(reporter.reports[0].contains("in Pennacle2021/08/31.modVCard.GetName at line 104"));
    }
};

QTEST_APPLESS_MAIN(TestGuard)
#include "tst_guard.moc"
