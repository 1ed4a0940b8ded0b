#include "core/guard.h"

namespace pennacle {

QString composeReport(const QString& description, const QString& locationTag, int line) {
    return description + QStringLiteral("\r\n") + locationTag + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QLatin1String(kSupportAddress);
}

void ReportApplicationError(Reporter& reporter, const QString& locationTag, int line,
                            const QString& description) {
    reporter.showReport(composeReport(description, locationTag, line));
}

QString procedureTag(const char* object, const char* procedure) {
    return QStringLiteral("in Pennacle2021/08/31.") + QLatin1String(object) + QLatin1Char('.') +
           QLatin1String(procedure) + QLatin1Char(' ');
}

}  // namespace pennacle
