#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <utility>

namespace pennacle {

// What unguarded routines throw; the nearest guarded caller reports `description`.
class Failure : public std::exception {
public:
    explicit Failure(QString description) : description_(std::move(description)) {}
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return "pennacle::Failure"; }

private:
    QString description_;
};

// Shows a composed failure report to the user (a box, stderr, a list in tests).
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void showReport(const QString& reportText) = 0;
};

// Keeps every report, in order: for work on a helper thread, whose reports are shown once the
// work is back, and for tests.
class CollectingReporter : public Reporter {
public:
    void showReport(const QString& reportText) override { reports.append(reportText); }
    QStringList reports;
};

inline constexpr auto kSupportAddress = "support@pennacle-suite.example";

// The uniform report: description, CR LF, tag, "at line ", number, CR CR, support sentence.
QString composeReport(const QString& description, const QString& locationTag, int line);

// Composes and shows one report.
void ReportApplicationError(Reporter& reporter, const QString& locationTag, int line,
                            const QString& description);

// A guarded procedure: each numbered step runs; a failing step is reported with the
// procedure's tag and the step's line number, and the procedure carries on with the next step.
class Guard {
public:
    Guard(Reporter& reporter, QString locationTag)
        : reporter_(reporter), tag_(std::move(locationTag)) {}

    const QString& tag() const { return tag_; }
    int line() const { return line_; }

    template <class Step>
    void operator()(int line, Step&& step) {
        line_ = line;
        QString description;
        if (!run(std::forward<Step>(step), description)) {
            // Reported outside the catch: a failure while reporting passes to the caller.
            ReportApplicationError(reporter_, tag_, line_, description);
        }
    }

    // A condition of a conditional step. When evaluating it fails, the failure is reported
    // and the condition counts as true, so the steps it guards still run.
    template <class Condition>
    bool test(int line, Condition&& condition) {
        bool holds = true;
        (*this)(line, [&] { holds = condition(); });
        return holds;
    }

private:
    template <class Step>
    static bool run(Step&& step, QString& description) {
        try {
            step();
            return true;
        } catch (const Failure& failure) {
            description = failure.description();
        } catch (const std::exception& e) {
            description = QString::fromLocal8Bit(e.what());
        }
        return false;
    }

    Reporter& reporter_;
    QString tag_;
    int line_ = 0;
};

// The location tag of a guarded procedure, e.g. procedureTag("Form1", "PushButton6_Click").
QString procedureTag(const char* object, const char* procedure);

}  // namespace pennacle
