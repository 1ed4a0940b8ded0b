// Chosen picture files of any content, and photo data as the card writer pads it.
#include "core/guard.h"
#include "fuzzsupport.h"
#include "photos/picturefile.h"
#include "vcard/base64.h"

#include <algorithm>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietPictureDecoders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes = fuzz::bytesAfterFirst(data, size);
    if (data[0] % 2 == 0) {
        const QString text = QString::fromLatin1(bytes);
        const QString padded = pennacle::paddedBase64(text);
        // Base64 text comes out in whole groups with at most "==" at the end; anything else
        // comes out unchanged.
        const bool alphabetOnly = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
            return c.isLetterOrNumber() ? c.unicode() < 128 : c == u'+' || c == u'/' || c == u'=';
        });
        FUZZ_CHECK(alphabetOnly ? padded.size() % 4 == 0 && !padded.endsWith(QLatin1String("==="))
                                : padded == text);
        return 0;
    }
    try {
        const QByteArray stored = pennacle::storedPictureBytes(bytes);
        // A JPEG, PNG or GIF is kept unchanged; anything else converted is a JPEG, so the
        // head written for a stored picture always names its format.
        FUZZ_CHECK(pennacle::pictureFormatOf(bytes)
                       ? stored == bytes
                       : pennacle::pictureFormatOf(stored) == pennacle::PictureFormat::Jpeg);
    } catch (const pennacle::Failure&) {
    }
    return 0;
}
