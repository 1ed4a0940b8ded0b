#pragma once

#include <QString>

namespace pennacle {

// Whether the contact list holds changes that no save has written yet, and the name of the file
// it was last opened from or saved to: what the window's title shows, and what closing asks
// about.
class ListChanges {
public:
    bool unsaved() const { return unsaved_; }

    // Whether the list differs from its file: edits, and undo walking back to it.
    void setUnsaved(bool unsaved) { unsaved_ = unsaved; }
    // The contacts of the file at `path` were added. Into an empty list the list holds what the
    // file holds; into one that held contacts it is a change. The file names the list.
    void noteFileAdded(const QString& path, bool intoEmptyList);
    // Contacts from several files at once (the samples): into an empty list nothing is left to
    // save, but no one file names the list.
    void noteFilesAdded(bool intoEmptyList);
    // The list holds an address book of a server, named `name`, as the server holds it.
    void noteServerBook(const QString& name);
    // Every contact was saved to the file or folder at `path`.
    void noteSaved(const QString& path);

    // "Pennacle Suite — NAME *": the name when there is one, the mark while changes are unsaved.
    QString windowTitle(const QString& productName) const;

private:
    bool unsaved_ = false;
    QString name_;
};

}  // namespace pennacle
