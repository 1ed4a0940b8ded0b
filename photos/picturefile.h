#pragma once

#include "vcard/photoentry.h"
#include "vcard/photovalue.h"

#include <QByteArray>
#include <QImage>
#include <QLatin1StringView>
#include <QSize>
#include <QString>

namespace pennacle {

// Whether a chosen picture is converted before it is stored: the text after the path's last
// "." (the whole path without one) is "bmp" in any letter case.
bool isBitmapFileName(const QString& path);

// What is stored for the bytes of a chosen picture file: a bitmap becomes a JPEG of quality
// 75 made in memory, any other picture is kept byte for byte. Throws Failure when the bytes
// hold no picture that can be shown, so nothing unshowable reaches a card.
QByteArray storedPictureBytes(const QByteArray& fileBytes, bool bitmap);

// The picture of a photo's decoded data as the preview shows it: a picture larger than `room`
// (empty: no limit) is decoded at the largest size that fits, keeping its aspect ratio. Throws
// Failure "Invalid picture" when the bytes hold no picture.
QImage previewPicture(const QByteArray& bytes, const QSize& room);

// The Base64 text that a chosen picture file is stored as. Throws Failure for a missing,
// unreadable or empty file and for one that holds no picture.
QString pictureFileData(const QString& path);

// The row "Add Picture" appends to a list of `rowsBefore` rows: "Photo" and the new count.
PhotoEntry addedPhotoRow(qsizetype rowsBefore, QString data);

}  // namespace pennacle
