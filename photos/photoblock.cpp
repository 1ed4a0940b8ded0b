#include "photos/photoblock.h"

#include <algorithm>

namespace pennacle {

namespace {

qsizetype firstLineDataLength(const PhotoEntry& photo) {
    // A long property part leaves no room for data; the data then starts on the next line
    // rather than being cut or making the first line longer.
    return std::max<qsizetype>(0, kPhotoLineWidth - photo.PhotoType.size());
}

qsizetype photoBlockLength(const std::vector<PhotoEntry>& photos) {
    qsizetype length = 0;
    for (const PhotoEntry& photo : photos) {
        const qsizetype rest =
            std::max<qsizetype>(0, photo.PhotoData.size() - firstLineDataLength(photo));
        const qsizetype continuations = (rest + kPhotoLineWidth - 1) / kPhotoLineWidth;
        length += photo.PhotoType.size() + photo.PhotoData.size() + 2 + continuations * 4;
    }
    return length;
}

}  // namespace

QString GetImageFromList(const std::vector<PhotoEntry>& photos, Reporter& reporter) {
    Guard g(reporter, procedureTag("modVCard", "GetImageFromList"));
    QString block;
    g(100, [&] { block.reserve(photoBlockLength(photos)); });
    for (const PhotoEntry& photo : photos) {
        const QString& data = photo.PhotoData;
        if (!g.test(102, [&] { return !data.isEmpty(); })) {
            continue;
        }
        const qsizetype first = std::min(firstLineDataLength(photo), data.size());
        g(104, [&] {
            block.append(photo.PhotoType);
            block.append(QStringView(data).first(first));
            block.append(u"\r\n");
        });
        g(106, [&] {
            for (qsizetype j = first; j < data.size(); j += kPhotoLineWidth) {
                block.append(u"  ");
                block.append(
                    QStringView(data).sliced(j, std::min(kPhotoLineWidth, data.size() - j)));
                block.append(u"\r\n");
            }
        });
    }
    return block;
}

}  // namespace pennacle
