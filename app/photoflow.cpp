#include "app/photoflow.h"

#include "cards/photolines.h"
#include "photos/picturefile.h"
#include "vcard/base64.h"

namespace pennacle {

void PhotoFlow::chooseAndAdd() {
    Guard g(window_.context.reporter, windowTag("PushButton12_Click"));
    QString path;
    g(100, [&] { path = choosePicture(); });
    if (path.isEmpty())
        return;
    addFile(path);
}

void PhotoFlow::addFile(const QString& path) {
    Guard g(window_.context.reporter, windowTag("PushButton12_Click"));
    ChosenPicture picture;
    g(102, [&] { picture = pictureFileData(path); });
    // Nothing read or converted (reported above): no row is added.
    if (picture.data.isEmpty())
        return;
    const int row = static_cast<int>(window_.photos.count());
    g(104,
      [&] { window_.photos.append(addedPhotoRow(row, std::move(picture.data), picture.format)); });
    g(106, [&] { window_.rebuild(); });
    // The new row becomes the selected one, so the preview, Replace and Delete agree on it.
    g(108, [&] {
        window_.quietly([&] { window_.selectRow(row); });
        preview(row);
    });
}

void PhotoFlow::replace() {
    Guard g(window_.context.reporter, windowTag("PushButton10_Click"));
    int row = -1;
    g(100, [&] { row = window_.selectedRow(); });
    if (row < 0)
        return;
    QString path;
    g(102, [&] { path = choosePicture(); });
    if (path.isEmpty())
        return;
    ChosenPicture picture;
    g(104, [&] { picture = pictureFileData(path); });
    // The row keeps its own picture when the chosen one could not be read or converted.
    if (picture.data.isEmpty())
        return;
    // A row read from a card is written back under its own property part, which names the new
    // picture's format where it named one.
    g(106, [&] {
        const PhotoEntry& before = window_.photos.rows()[static_cast<size_t>(row)];
        window_.photos.setRow(row,
                              replacedPhotoRow(before, std::move(picture.data), picture.format));
    });
    g(108, [&] { window_.rebuild(); });
    g(110, [&] { preview(row); });
}

void PhotoFlow::remove() {
    Guard g(window_.context.reporter, windowTag("PushButton11_Click"));
    int row = -1;
    g(100, [&] { row = window_.selectedRow(); });
    if (row < 0)
        return;
    // No other row becomes selected (nor previewed) in the removed one's place.
    g(102, [&] {
        window_.quietly([&] {
            window_.photos.remove(row);
            window_.selectRow(-1);
        });
    });
    g(104, [&] { window_.rebuild(); });
    g(106, [&] { window_.clearPreview(); });
}

void PhotoFlow::preview(int row) {
    Guard g(window_.context.reporter, windowTag("ListView2_ItemClick"));
    g(100, [&] { window_.clearPreview(); });
    if (row < 0 || row >= window_.photos.count())
        return;
    const QString data = window_.photos.rows()[static_cast<size_t>(row)].PhotoData;
    if (data.isEmpty())
        return;
    // Decoded in memory: no preview file is left behind in the temporary folder.
    QImage picture;
    g(102, [&] { picture = previewPicture(DecodeBase64(data), window_.previewRoom()); });
    g(104, [&] {
        if (!picture.isNull())
            window_.showPreview(picture);
    });
}

QString PhotoFlow::choosePicture() {
    return chooseFileToOpen(
        window_.context, "PictureFolder", QStringLiteral("Select A Picture"),
        QStringLiteral("Picture files|*.jpg;*.jpeg;*.png;*.gif;*.bmp|JPEG files|*.jpg;*.jpeg|"
                       "PNG files|*.png|GIF files|*.gif|Bitmap files|*.bmp"));
}

}  // namespace pennacle
