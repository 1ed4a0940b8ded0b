#include "core/dialogs.h"

#include <QStringList>

namespace pennacle {

void DialogsReporter::showReport(const QString& reportText) {
    dialogs_.warning(QStringLiteral("Application Error"), reportText);
}

QString qtFilterFromPipeFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList entries;
    entries.reserve(parts.size() / 2 + 1);
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i);
        const QString patterns = i + 1 < parts.size() ? parts.at(i + 1) : QString();
        // Qt reads several patterns separated by blanks, not by ";".
        QString qtPatterns = patterns;
        qtPatterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << description + QStringLiteral(" (") + qtPatterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace pennacle
