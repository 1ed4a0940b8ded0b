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
        // Qt reads several patterns separated by blanks, not by ";". Its file dialog matches
        // them case-sensitively where the file system is, while the patterns are meant as on
        // Windows: a camera's "IMG_0001.JPG" is a JPEG file too.
        QStringList qtPatterns;
        for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& spelling : {pattern, pattern.toLower(), pattern.toUpper()}) {
                if (!qtPatterns.contains(spelling))
                    qtPatterns << spelling;
            }
        }
        entries << description + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace pennacle
