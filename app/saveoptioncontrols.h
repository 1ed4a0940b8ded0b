#pragma once

#include "app/saveflow.h"
#include "app/windowcontrols.h"
#include "core/settingsstore.h"

#include <QString>

class QObject;
class QRadioButton;

namespace pennacle {

// The save options on the window: one file or a file per contact (Option1, Option2), ANSI or
// UTF-8 (Option5, Option6) and the version the cards are written in (Combo3). Every change is
// remembered in the settings at once.
class SaveOptionControls {
public:
    SaveOptionControls(WindowControls& controls, SettingsStore& settings)
        : controls_(controls), settings_(settings) {}

    // Remembers each change; `context` ends the connections. Made before the options are
    // restored, so that restoring a selection writes its pair as a click does.
    void connect(const QObject& context);
    void restoreOption(QRadioButton* option, const char* key, const char* defaultValue);
    void restoreVersion();
    SaveOptions read() const;

private:
    void writeOptionPair(QRadioButton* first, QRadioButton* second);
    void showEncodingApplies();

    WindowControls& controls_;
    SettingsStore& settings_;
};

// The "?" note on text-file encodings.
QString encodingNoteText();

}  // namespace pennacle
