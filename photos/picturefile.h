#pragma once

#include "photos/pictureformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace pennacle {

// The stored format that a picture's bytes are in, told by their first bytes; none for any
// other content.
std::optional<PictureFormat> pictureFormatOf(QByteArrayView bytes);

// What is stored for the bytes of a chosen picture file, decided by its content and never by
// its name: a JPEG, PNG or GIF is kept byte for byte, any other picture (a bitmap, say) becomes
// a JPEG of quality 75 made in memory. Throws Failure when the bytes hold no picture that can be
// shown, so nothing unshowable reaches a card.
QByteArray storedPictureBytes(const QByteArray& fileBytes);

// The picture of a photo's decoded data as the preview shows it: a picture larger than `room`
// (empty: no limit) is decoded at the largest size that fits, keeping its aspect ratio. Throws
// Failure "Invalid picture" when the bytes hold no picture.
QImage previewPicture(const QByteArray& bytes, const QSize& room);

// A chosen picture as it is stored: its Base64 text and the format that text holds.
struct ChosenPicture {
    QString data;
    PictureFormat format = PictureFormat::Jpeg;
};

// The picture that a chosen file is stored as. Throws Failure for a missing, unreadable or empty
// file and for one that holds no picture.
ChosenPicture pictureFileData(const QString& path);

}  // namespace pennacle
