// Any bytes as a photo's decoded data, decoded as the preview does it: the picture decoders then
// run on untrusted card data (the Base64 step before is fuzz_base64's). The first byte picks
// the preview box's size, so thin and wide boxes are tried too.
#include "core/guard.h"
#include "fuzzsupport.h"
#include "photos/picturefile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietPictureDecoders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QSize room(1 + data[0] % 16 * 20, 1 + data[0] / 16 * 20);
    const QByteArray bytes = fuzz::bytesAfterFirst(data, size);
    QImage picture;
    try {
        picture = pennacle::previewPicture(bytes, room);
    } catch (const pennacle::Failure&) {
        return 0;  // reported as "Invalid picture"
    }
    FUZZ_CHECK(!picture.isNull() && picture.width() > 0 && picture.height() > 0);
    return 0;
}
