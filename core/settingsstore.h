#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace pennacle {

// The per-user store of named text values: application "Quarrystone", section
// "Pennacle Suite". Nothing is cached; every read and write goes to the backing file.
class SettingsStore {
public:
    // The per-user default location.
    SettingsStore();
    // An INI file at `filePath`, for tests and portable use.
    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text of `key`, or `defaultValue` when the key is absent. Never creates a key.
    QString ReadSetting(const QString& key, const QString& defaultValue) const;
    void WriteSetting(const QString& key, const QString& value);

private:
    std::unique_ptr<QSettings> settings_;
};

// "True"/"False" in any case, or any decimal number (0 is false); throws Failure otherwise.
bool settingToBool(const QString& text);
// A whole decimal number; throws Failure otherwise.
int settingToInt(const QString& text);
QString boolToSetting(bool value);

}  // namespace pennacle
