#pragma once

#include "app/flowcontext.h"
#include "contacts/contactlist.h"

#include <QStringList>

#include <functional>
#include <vector>

class QDragEnterEvent;
class QDropEvent;
class QMimeData;

namespace pennacle {

// Adding contacts from VCF files: the file the user chooses, the files named on the command
// line and the files dropped on the window.
class ImportFlow {
public:
    struct Window {
        FlowContext context;
        ContactList& contacts;
        StartProgress startProgress;
        std::function<void()> enableForm;
        std::function<void(const CardBytes& card)> showContact;
        std::function<void(const QString& path)> addPicture;
        // Contacts of the file at `path` were added, to a list that was empty or not.
        std::function<void(const QString& path, bool intoEmptyList)> fileAdded;
    };

    explicit ImportFlow(Window window) : window_(std::move(window)) {}

    // "Add Contact(s) From 1 VCF File": the files chosen, in the order chosen.
    void chooseFile();
    // One file after another under one progress, each as a chosen file is imported; stopping
    // the progress leaves the files after it unread.
    void importFiles(const QStringList& paths);
    void importFile(const QString& path);
    // On "Photos" a dropped file is a picture to add; a card file is still imported.
    void dropFiles(const QStringList& paths, bool onPhotosPage);
    // Takes the drop and its files as above.
    void drop(QDropEvent& event, bool onPhotosPage);

private:
    struct ScannedFile {
        std::vector<ContactEntry> rows;
        bool read = false;     // the whole file was read
        bool stopped = false;  // the user stopped the import
    };
    class FilesProgress;
    // Imports one file of several; false when the user stopped.
    bool importFile(const QString& path, FilesProgress& progress);
    // Opens and reads the file as steps of the import's guarded procedure.
    ScannedFile scanFile(const QString& path, FilesProgress& progress, Guard& g);

    Window window_;
};

// The local files that a drag brings; other URLs are no files to import.
QStringList localFilePaths(const QMimeData& data);
// A drag is welcome when it brings local files.
void acceptFileDrag(QDragEnterEvent& event);

}  // namespace pennacle
