#include "app/importflow.h"

#include "cards/importer.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
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

// One progress over several files, each file's share as large as the file.
class ImportFlow::FilesProgress {
public:
    FilesProgress(const StartProgress& start, const QStringList& paths)
        : progress_(start(QStringLiteral("Adding contacts..."))) {
        for (const QString& path : paths)
            total_ += std::max<qint64>(QFileInfo(path).size(), 1);
    }
    void startFile(const QString& path) {
        before_ += size_;
        size_ = std::max<qint64>(QFileInfo(path).size(), 1);
    }
    // Where the scan of the current file stands, in its own measure.
    bool update(qsizetype position, qsizetype length) {
        const double part = length > 0 ? double(position) / double(length) : 1.0;
        return progress_->update(qsizetype(before_ + qint64(part * double(size_))), total_);
    }

private:
    std::unique_ptr<Progress> progress_;
    qint64 total_ = 0;
    qint64 before_ = 0;
    qint64 size_ = 0;
};

void ImportFlow::chooseFile() {
    Guard g(window_.context.reporter, windowTag("PushButton2_Click"));
    QStringList paths;
    g(100, [&] {
        paths = chooseFilesToOpen(window_.context, kVcfFolderKey, QStringLiteral("Select VCF File"),
                                  QStringLiteral("VCF files|*.vcf"));
    });
    importFiles(paths);
}

void ImportFlow::importFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    FilesProgress progress(window_.startProgress, paths);
    for (const QString& path : paths) {
        if (!importFile(path, progress))
            return;
    }
}

void ImportFlow::importFile(const QString& path) {
    importFiles({path});
}

bool ImportFlow::importFile(const QString& path, FilesProgress& progress) {
    const FlowContext& context = window_.context;
    Guard g(context.reporter, windowTag("PushButton2_Click"));
    ScannedFile scanned = scanFile(path, progress, g);
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
    return !scanned.stopped;
}

ImportFlow::ScannedFile ImportFlow::scanFile(const QString& path, FilesProgress& progress,
                                             Guard& g) {
    std::unique_ptr<CardFileImport> file;
    g(102,
      [&] { file = namingTheFile(path, [&] { return std::make_unique<CardFileImport>(path); }); });
    ScannedFile scanned;
    g(104, [&] {
        if (!file)
            return;
        progress.startFile(path);
        scanned.rows = namingTheFile(path, [&] {
            return file->scan(window_.context.reporter, [&](qsizetype position, qsizetype total) {
                scanned.stopped = !progress.update(position, total);
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

void ImportFlow::drop(QDropEvent& event, bool onPhotosPage) {
    event.acceptProposedAction();
    dropFiles(localFilePaths(*event.mimeData()), onPhotosPage);
}

QStringList localFilePaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

void acceptFileDrag(QDragEnterEvent& event) {
    if (!localFilePaths(*event.mimeData()).isEmpty())
        event.acceptProposedAction();
}

}  // namespace pennacle
