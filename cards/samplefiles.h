#pragma once

#include "core/contactentry.h"
#include "core/dialogs.h"
#include "core/guard.h"
#include "core/settingsstore.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace pennacle {

// The built-in key of the "Snapshot" setting.
inline constexpr auto kSnapshotKey = "lanterns";

// Records the full paths of the files in the samples folder, joined by "|" and scrambled, in
// the setting "Snapshot". An empty or missing folder records the empty text, so the next start
// tries again.
void RecordSampleSnapshot(SettingsStore& settings, const QString& appFolder);

// The recorded paths, in recorded order; empty when nothing was recorded.
QStringList recordedSampleFiles(const SettingsStore& settings);

// True when a row of the list shows exactly `name`, case included.
bool ListContainsName(std::span<const ContactEntry> contactList, const QString& name);

// What the sample loader needs from the window.
struct SampleLoadContext {
    const SettingsStore& settings;
    Dialogs& dialogs;
    Reporter& reporter;  // for the name routine's own reports
    QString appFolder;
    QString appTitle;
};

// Takes the rows that a load adds to the list, in one batch.
using AddSampleRows = std::function<void(std::vector<ContactEntry> rows)>;

// Adds one row per recorded file that still exists, with the file's whole text as its card,
// unless its name is already in `contactList`: hands them to `addRows` (which may change the
// list: it is not read after), then asks whether to open the samples folder and opens it on
// Yes. A file that cannot be read throws Failure: the rows found before it are handed over
// and nothing is asked.
void LoadSampleFiles(std::span<const ContactEntry> contactList, const AddSampleRows& addRows,
                     const SampleLoadContext& context);

// The question asked after loading.
QString openSamplesQuestion();

}  // namespace pennacle
