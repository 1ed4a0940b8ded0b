#pragma once

#include "core/guard.h"

#include <QByteArray>
#include <QString>

class QIODevice;
class QImage;

namespace pennacle {

// Every picture the user adds is stored as a JPEG of this quality.
inline constexpr int kPictureJpegQuality = 75;

// The error number that a failed JPEG save raises.
inline constexpr int kSaveJpegErrorNumber = 5;

// Why a JPEG save failed, as the number that ends the error text. 0 is success; the others
// say what the user (or support) can act on:
//   1  the writer failed for a reason it did not name
//   2  nothing to save: an empty picture, or a quality outside 0 to 100
//   6  no JPEG writer is available (the image format plugin is missing)
//   7  the target cannot be opened or written (missing folder, no permission, disk full)
enum class JpegSaveStatus : int {
    Ok = 0,
    WriterFailed = 1,
    BadPicture = 2,
    NoJpegWriter = 6,
    CannotWrite = 7,
};

// A failed JPEG save: error number 5, "Cannot save the image. GDI+ Error:" and the status.
class JpegSaveFailure : public Failure {
public:
    explicit JpegSaveFailure(JpegSaveStatus status);
    int number() const { return kSaveJpegErrorNumber; }
    JpegSaveStatus status() const { return status_; }

private:
    JpegSaveStatus status_;
};

// Writes the picture as a JPEG of `quality` (0 to 100) to an open device, or to a file that
// is created or replaced. Throws JpegSaveFailure.
void SaveJpeg(const QImage& picture, QIODevice& target, int quality);
void SaveJpeg(const QImage& picture, const QString& path, int quality);
// The JPEG bytes of the picture, made in memory. Throws JpegSaveFailure.
QByteArray jpegBytes(const QImage& picture, int quality = kPictureJpegQuality);

}  // namespace pennacle
