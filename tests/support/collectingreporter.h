#pragma once

#include "core/guard.h"

#include <QStringList>

// Keeps every report text, in order, for assertions.
class CollectingReporter : public pennacle::Reporter {
public:
    void showReport(const QString& reportText) override { reports << reportText; }
    QStringList reports;
};
