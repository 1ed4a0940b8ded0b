#include "photos/jpegexport.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

namespace pennacle {

namespace {

JpegSaveStatus statusOf(QImageWriter::ImageWriterError error) {
    switch (error) {
        case QImageWriter::DeviceError:
            return JpegSaveStatus::CannotWrite;
        case QImageWriter::UnsupportedFormatError:
            return JpegSaveStatus::NoJpegWriter;
        case QImageWriter::InvalidImageError:
            return JpegSaveStatus::BadPicture;
        default:
            return JpegSaveStatus::WriterFailed;
    }
}

void save(const QImage& picture, QImageWriter& writer, int quality) {
    if (picture.isNull() || quality < 0 || quality > 100)
        throw JpegSaveFailure(JpegSaveStatus::BadPicture);
    writer.setQuality(quality);
    if (!writer.write(picture))
        throw JpegSaveFailure(statusOf(writer.error()));
}

}  // namespace

JpegSaveFailure::JpegSaveFailure(JpegSaveStatus status)
    : Failure(QStringLiteral("Cannot save the image. GDI+ Error:") +
              QString::number(static_cast<int>(status))),
      status_(status) {}

void SaveJpeg(const QImage& picture, QIODevice& target, int quality) {
    QImageWriter writer(&target, QByteArrayLiteral("jpeg"));
    save(picture, writer, quality);
}

void SaveJpeg(const QImage& picture, const QString& path, int quality) {
    const bool existed = QFileInfo::exists(path);
    QImageWriter writer(path, QByteArrayLiteral("jpeg"));
    try {
        save(picture, writer, quality);
    } catch (const JpegSaveFailure&) {
        // A file that the failed save created would be a broken picture: it goes again.
        writer.setDevice(nullptr);
        if (!existed)
            QFile::remove(path);
        throw;
    }
}

QByteArray jpegBytes(const QImage& picture, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    SaveJpeg(picture, buffer, quality);
    return bytes;
}

}  // namespace pennacle
