// Any bytes as a photo's decoded data: the preview hands them to the picture decoders, which
// then run on untrusted card data (the Base64 step before is fuzz_base64's).
#include "fuzzsupport.h"

#include <QImage>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QImage picture;
    if (!picture.loadFromData(data, static_cast<int>(size)) || picture.isNull())
        return 0;
    FUZZ_CHECK(picture.width() > 0 && picture.height() > 0);
    // Large pictures are scaled down to the preview box, as the window does.
    if (picture.width() > 200 || picture.height() > 200)
        picture = picture.scaled(200, 200, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    FUZZ_CHECK(!picture.isNull());
    return 0;
}
