// Quoted-printable decoding of any value in any character set. The input's first line names
// the character set ("SHIFT_JIS", "UTF-8", anything), the rest is the value.
#include "fuzzsupport.h"
#include "vcard/quotedprintable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::textOf(data, size);
    const qsizetype lf = input.indexOf(u'\n');
    const QString charset = lf < 0 ? QString() : input.left(lf);
    const QString value = lf < 0 ? input : input.mid(lf + 1);
    const QString decoded = pennacle::DecodeQuotedPrintable(value, charset);
    // Three characters "=XX" give one byte, and no character set makes more than two UTF-16
    // units of one byte; a value without "=" is its own text.
    FUZZ_CHECK(decoded.size() <= 2 * value.size());
    if (!value.contains(u'='))
        FUZZ_CHECK(decoded == value);
    return 0;
}
