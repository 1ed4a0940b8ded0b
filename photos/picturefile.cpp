#include "photos/picturefile.h"

#include "core/guard.h"
#include "photos/jpegexport.h"
#include "vcard/base64.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace pennacle {

namespace {

// Decodes `bytes` at the size `scaledSize` gives for the picture's own size: a JPEG is then
// scaled while it is decoded, far faster than in full.
template <class ScaledSize>
QImage decodedPicture(const QByteArray& bytes, ScaledSize scaledSize) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid()) {
        const QSize target = scaledSize(size);
        if (target != size)
            reader.setScaledSize(target);
    }
    QImage picture = reader.read();
    if (picture.isNull())
        throw Failure(QStringLiteral("Invalid picture"));
    return picture;
}

QImage readPicture(const QByteArray& bytes, bool fullSize) {
    // A picture kept as it is only has to prove that it can be shown; a small decode reads
    // all of it at a fraction of the cost.
    return decodedPicture(bytes, [&](QSize size) {
        if (fullSize || size.width() <= 64 || size.height() <= 64)
            return size;
        return size.scaled(64, 64, Qt::KeepAspectRatioByExpanding);
    });
}

}  // namespace

std::optional<PictureFormat> pictureFormatOf(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return PictureFormat::Jpeg;
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return PictureFormat::Png;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return PictureFormat::Gif;
    return std::nullopt;
}

QByteArray storedPictureBytes(const QByteArray& fileBytes) {
    if (fileBytes.isEmpty())
        throw Failure(QStringLiteral("Subscript out of range"));
    if (pictureFormatOf(fileBytes)) {
        readPicture(fileBytes, false);
        return fileBytes;
    }
    // The picture keeps its own size; only its encoding changes.
    return jpegBytes(readPicture(fileBytes, true), kPictureJpegQuality);
}

QImage previewPicture(const QByteArray& bytes, const QSize& room) {
    return decodedPicture(bytes, [&](QSize size) {
        if (room.isEmpty() || (size.width() <= room.width() && size.height() <= room.height()))
            return size;
        // A thin strip keeps one pixel across rather than none (nothing would be decoded).
        return size.scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    });
}

ChosenPicture pictureFileData(const QString& path) {
    const QByteArray stored = storedPictureBytes(loadFileBytes(path));
    return {QString::fromLatin1(encodeBase64(stored)),
            pictureFormatOf(stored).value_or(PictureFormat::Jpeg)};
}

}  // namespace pennacle
