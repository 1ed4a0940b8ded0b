#include "photos/picturefile.h"

#include "core/guard.h"
#include "photos/base64.h"
#include "photos/jpegexport.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace pennacle {

namespace {

QImage readPicture(const QByteArray& bytes, bool fullSize) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // A picture kept as it is only has to prove that it can be shown; a small decode reads
    // all of it (a JPEG is scaled while decoding) at a fraction of the cost.
    if (!fullSize) {
        const QSize size = reader.size();
        if (size.width() > 64 && size.height() > 64)
            reader.setScaledSize(size.scaled(64, 64, Qt::KeepAspectRatioByExpanding));
    }
    QImage picture = reader.read();
    if (picture.isNull())
        throw Failure(QStringLiteral("Invalid picture"));
    return picture;
}

}  // namespace

bool isBitmapFileName(const QString& path) {
    const QStringView extension = QStringView(path).sliced(path.lastIndexOf(u'.') + 1);
    return extension.compare(QLatin1StringView("bmp"), Qt::CaseInsensitive) == 0;
}

QByteArray storedPictureBytes(const QByteArray& fileBytes, bool bitmap) {
    if (fileBytes.isEmpty())
        throw Failure(QStringLiteral("Subscript out of range"));
    if (!bitmap) {
        readPicture(fileBytes, false);
        return fileBytes;
    }
    // The bitmap keeps its own size; only its encoding changes.
    return jpegBytes(readPicture(fileBytes, true), kPictureJpegQuality);
}

QString pictureFileData(const QString& path) {
    const QByteArray stored = storedPictureBytes(loadFileBytes(path), isBitmapFileName(path));
    return QString::fromLatin1(encodeBase64(stored));
}

PhotoEntry addedPhotoRow(qsizetype rowsBefore, QString data) {
    return PhotoEntry{QStringLiteral("Photo") + QString::number(rowsBefore + 1), std::move(data),
                      QString(kAddedPhotoType)};
}

}  // namespace pennacle
