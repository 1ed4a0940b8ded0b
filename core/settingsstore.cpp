#include "core/settingsstore.h"

#include "core/guard.h"

#include <QRegularExpression>
#include <QSettings>

namespace pennacle {

namespace {
const QString kApplication = QStringLiteral("Quarrystone");
const QString kSection = QStringLiteral("Pennacle Suite");

QString sectionKey(const QString& key) {
    return kSection + QLatin1Char('/') + key;
}

Failure typeMismatch() {
    return Failure(QStringLiteral("Type mismatch"));
}

QString strippedOfBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}
}  // namespace

SettingsStore::SettingsStore()
    : settings_(
          std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kApplication)) {}

SettingsStore::SettingsStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::ReadSetting(const QString& key, const QString& defaultValue) const {
    const QVariant value = settings_->value(sectionKey(key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::WriteSetting(const QString& key, const QString& value) {
    settings_->setValue(sectionKey(key), value);
    settings_->sync();
}

bool settingToBool(const QString& text) {
    const QString value = strippedOfBlanks(text);
    if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)$)"));
    if (!number.match(value).hasMatch())
        throw typeMismatch();
    return value.toDouble() != 0.0;
}

int settingToInt(const QString& text) {
    bool ok = false;
    const int value = strippedOfBlanks(text).toInt(&ok);
    if (!ok)
        throw typeMismatch();
    return value;
}

QString boolToSetting(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace pennacle
