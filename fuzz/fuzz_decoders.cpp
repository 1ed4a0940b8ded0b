// Quoted-printable and Base64 decoding of any text, with and without a character set.
#include "cards/quotedprintable.h"
#include "core/guard.h"
#include "photos/base64.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data) + 1,
                                             static_cast<qsizetype>(size - 1));
    switch (data[0] % 3) {
        case 0:
            pennacle::DecodeQuotedPrintable(text);
            break;
        case 1:
            pennacle::DecodeQuotedPrintable(text, QStringLiteral("ISO-8859-1"));
            break;
        default:
            try {
                pennacle::DecodeBase64(text);
            } catch (const pennacle::Failure&) {
            }
    }
    return 0;
}
