#pragma once

// Runs the built pennacle-cli for the tests that check it from the outside. Header-only: the
// program's path comes from each test target's PENNACLE_CLI definition.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

struct CliRun {
    int status = -1;  // -1: did not finish normally
    QByteArray out;
    QByteArray err;
};

// `prepare` may set up the child before it starts (its user, its limits).
inline CliRun runCli(const QStringList& args, const QByteArray& input = QByteArray(),
                     const std::function<void(QProcess&)>& prepare = {}) {
    QProcess process;
    if (prepare)
        prepare(process);
    process.start(QStringLiteral(PENNACLE_CLI), args);
    process.write(input);
    process.closeWriteChannel();
    CliRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline QString dataFile(const char* name) {
    return QStringLiteral(PENNACLE_TEST_DATA "/") + QLatin1String(name);
}
