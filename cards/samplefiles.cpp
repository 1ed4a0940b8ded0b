#include "cards/samplefiles.h"

#include "cards/displayname.h"
#include "core/ansiencoding.h"
#include "core/folderfiles.h"
#include "core/samplesfolder.h"
#include "core/scramble.h"
#include "core/startup.h"
#include "vcard/textfile.h"

#include <QDir>

#include <algorithm>
#include <vector>

namespace pennacle {

namespace {

const QString kSnapshotSetting = QStringLiteral("Snapshot");
constexpr QChar kSeparator = u'|';

QString snapshotKey() {
    return QLatin1String(kSnapshotKey);
}

}  // namespace

void RecordSampleSnapshot(SettingsStore& settings, const QString& appFolder) {
    const QString folder = samplesFolder(appFolder);
    const QStringList names = ListFolderFiles(folder, QStringLiteral("*.*"));
    QStringList paths;
    paths.reserve(names.size());
    const QDir dir(folder);
    for (const QString& name : names)
        paths << dir.filePath(name);
    settings.WriteSetting(kSnapshotSetting, ScrambleText(paths.join(kSeparator), snapshotKey()));
}

QStringList recordedSampleFiles(const SettingsStore& settings) {
    const QString list =
        UnscrambleText(settings.ReadSetting(kSnapshotSetting, QString()), snapshotKey());
    return list.isEmpty() ? QStringList() : list.split(kSeparator);
}

bool ListContainsName(std::span<const ContactEntry> contactList, const QString& name) {
    return std::any_of(contactList.begin(), contactList.end(),
                       [&](const ContactEntry& row) { return row.Text == name; });
}

QString openSamplesQuestion() {
    return QStringLiteral(
        "Would you like this software to open the folder where these sample files are stored "
        "(so that you can view them before working with them)?");
}

void LoadSampleFiles(std::span<const ContactEntry> contactList, const AddSampleRows& addRows,
                     const SampleLoadContext& context) {
    const QStringList paths = recordedSampleFiles(context.settings);
    std::vector<ContactEntry> rows;
    rows.reserve(static_cast<size_t>(paths.size()));
    const auto isNew = [&](const QString& name) {
        return !ListContainsName(contactList, name) &&
               std::none_of(rows.begin(), rows.end(),
                            [&](const ContactEntry& row) { return row.Text == name; });
    };
    try {
        for (const QString& path : paths) {
            if (!FileExists(path))
                continue;
            // Held as the file's bytes: Windows-1252 reads every byte, and writes it back the same.
            CardBytes card(encodeAnsi(ReadWholeFile(path)), CardEncoding::Ansi);
            QString name = GetName(card, context.reporter);
            if (isNew(name))
                rows.push_back({std::move(name), std::move(card)});
        }
    } catch (...) {
        // What was read before the failure stays in the list.
        addRows(std::move(rows));
        throw;
    }
    addRows(std::move(rows));
    if (context.dialogs.askYesNo(context.appTitle, openSamplesQuestion()))
        context.dialogs.openFolder(samplesFolder(context.appFolder));
}

}  // namespace pennacle
