#include "app/importflow.h"

#include "cards/importer.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <memory>

namespace pennacle {

namespace {

// A failure to read a VCF file names the file, since several may be imported at once.
template <class Read>
auto namingTheFile(const QString& path, Read read) {
    try {
        return read();
    } catch (const Failure& failure) {
        throw Failure(QStringLiteral("Cannot read \"%1\": %2")
                          .arg(QDir::toNativeSeparators(path), failure.description()));
    }
}

}  // namespace

void ImportFlow::chooseFile() {
    Guard g(window_.context.reporter, windowTag("PushButton2_Click"));
    QString path;
    g(100, [&] {
        path = window_.context.dialogs.ShowOpen(QStringLiteral("Select VCF File"),
                                                QStringLiteral("VCF files(*.vcf)|*.vcf"));
    });
    if (path.isEmpty())
        return;
    importFile(path);
}

void ImportFlow::importFiles(const QStringList& paths) {
    for (const QString& path : paths)
        importFile(path);
}

void ImportFlow::importFile(const QString& path) {
    const FlowContext& context = window_.context;
    Guard g(context.reporter, windowTag("PushButton2_Click"));
    ScannedFile scanned = scanFile(path, g);
    const bool found = !scanned.rows.empty();
    ContactList& contacts = window_.contacts;
    const bool intoEmptyList = contacts.isEmpty();
    g(106, [&] { contacts.append(std::move(scanned.rows)); });
    g(108, [&] { window_.enableForm(); });
    g(110, [&] {
        if (!contacts.isEmpty())
            window_.showContact(contacts.current()->card);
    });
    // An empty, binary or card-less file would otherwise import nothing without a word.
    g(112, [&] {
        if (scanned.read && !found && !scanned.stopped) {
            context.dialogs.message(context.appTitle,
                                    QStringLiteral("No contacts were found in \"%1\".")
                                        .arg(QFileInfo(path).fileName()));
        }
    });
    g(114, [&] {
        if (found)
            window_.fileAdded(path, intoEmptyList);
    });
}

ImportFlow::ScannedFile ImportFlow::scanFile(const QString& path, Guard& g) {
    std::unique_ptr<CardFileImport> file;
    g(102,
      [&] { file = namingTheFile(path, [&] { return std::make_unique<CardFileImport>(path); }); });
    ScannedFile scanned;
    g(104, [&] {
        if (!file)
            return;
        const auto progress = window_.startProgress(QStringLiteral("Adding contacts..."));
        scanned.rows = namingTheFile(path, [&] {
            return file->scan(window_.context.reporter, [&](qsizetype position, qsizetype total) {
                scanned.stopped = !progress->update(position, total);
                return !scanned.stopped;
            });
        });
        scanned.read = true;
        file.reset();
    });
    return scanned;
}

void ImportFlow::dropFiles(const QStringList& paths, bool onPhotosPage) {
    for (const QString& path : paths) {
        if (!onPhotosPage || path.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive)) {
            importFile(path);
        } else {
            window_.addPicture(path);
        }
    }
}

QStringList localFilePaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace pennacle
