// Base64 decoding of any text, and bytes that come back from their own encoding.
#include "core/guard.h"
#include "fuzzsupport.h"
#include "vcard/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::textOf(data, size);
    try {
        const QByteArray decoded = pennacle::DecodeBase64(text);
        FUZZ_CHECK(!decoded.isEmpty() && decoded.size() <= (text.size() / 4 + 1) * 3);
    } catch (const pennacle::Failure&) {
        // Nothing left to decode: the callers report it.
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!bytes.isEmpty()) {
        const QString encoded = QString::fromLatin1(pennacle::encodeBase64(bytes));
        FUZZ_CHECK(pennacle::DecodeBase64(encoded) == bytes);
        // Folded over lines as a card holds it.
        QString folded;
        for (qsizetype i = 0; i < encoded.size(); i += 64) {
            folded += encoded.mid(i, 64) + QStringLiteral("\r\n");
        }
        FUZZ_CHECK(pennacle::DecodeBase64(folded) == bytes);
    }
    return 0;
}
