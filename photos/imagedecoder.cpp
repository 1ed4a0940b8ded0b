#include "photos/imagedecoder.h"

#include "vcard/base64.h"

#include <QFile>

namespace pennacle {

bool ImageDecoder(const QString& base64, const QString& path, Reporter& reporter) {
    Guard g(reporter, procedureTag("modVCard", "ImageDecoder"));
    QByteArray bytes;
    bool decoded = false;
    bool written = false;
    g(100, [&] {
        bytes = DecodeBase64(base64);
        decoded = true;
    });
    g(102, [&] {
        QFile file(path);
        // Truncating keeps the tail of an older, longer picture out of this one.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            throw Failure(QStringLiteral("Path/File access error: ") + file.errorString());
        }
        if (file.write(bytes) != bytes.size()) {
            throw Failure(QStringLiteral("Device I/O error: ") + file.errorString());
        }
        file.close();
        written = true;
    });
    return decoded && written;
}

}  // namespace pennacle
