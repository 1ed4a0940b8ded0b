#pragma once

#include "app/flowcontext.h"
#include "photos/photolist.h"

#include <QImage>
#include <QSize>

#include <functional>

namespace pennacle {

// The commands of "Photos": add, replace and delete a picture, and the preview of the
// selected one.
class PhotoFlow {
public:
    struct Window {
        FlowContext context;
        PhotoList& photos;
        std::function<int()> selectedRow;        // -1 when none
        std::function<void(int row)> selectRow;  // -1 selects none
        // Runs a change of the rows or their selection that is no pick of the user's, so the
        // window previews nothing by itself.
        std::function<void(const std::function<void()>& change)> quietly;
        std::function<QSize()> previewRoom;
        std::function<void(const QImage& picture)> showPreview;
        std::function<void()> clearPreview;
        std::function<void()> rebuild;  // the card follows the photo rows
    };

    explicit PhotoFlow(Window window) : window_(std::move(window)) {}

    // "Add Picture".
    void chooseAndAdd();
    // Adds a picture file as "Add Picture" adds the chosen one.
    void addFile(const QString& path);
    // "Replace Picture".
    void replace();
    // "Delete Picture".
    void remove();
    void preview(int row);

private:
    QString choosePicture();

    Window window_;
};

}  // namespace pennacle
