#include "core/utf8.h"

#include <QStringEncoder>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pennacle {

void appendUtf8(QByteArray& out, QStringView text) {
    const qsizetype old = out.size();
    if (QtPrivate::isAscii(text)) {
        // Most lines: ASCII is only narrowed.
        out.resize(old + text.size());
        char* to = out.data() + old;
        const char16_t* from = text.utf16();
        for (qsizetype i = 0; i < text.size(); ++i)
            to[i] = char(from[i]);
        return;
    }
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    out.resize(old + encoder.requiredSpace(text.size()));
    char* end = encoder.appendToBuffer(out.data() + old, text);
    out.truncate(end - out.constData());
}

qsizetype asciiRunEnd(const unsigned char* p, qsizetype from, qsizetype n) {
    qsizetype i = from;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const int mask =
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (mask != 0)
            return i + __builtin_ctz(unsigned(mask));
    }
#endif
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

bool Utf8Validator::passFold(unsigned char b) {
    const bool blank = b == ' ' || b == '\t';
    switch (fold_) {
        case Fold::None:
            fold_ = b == '\r' ? Fold::AfterCr : Fold::AfterLf;
            return true;
        case Fold::AfterCr:
            fold_ = b == '\n' ? Fold::AfterLf : Fold::None;
            return b == '\n' || blank;
        case Fold::AfterLf:
            fold_ = Fold::None;
            return blank;
    }
    return false;
}

bool Utf8Validator::feed(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        if (need_ == 0) {
            i = asciiRunEnd(p, i, n);
            if (i == n)
                break;
            const Utf8Lead lead = utf8Lead(p[i++]);
            if (lead.length == 0)
                return false;
            need_ = lead.length - 1;
            low_ = lead.low;
            high_ = lead.high;
            continue;
        }
        const unsigned char b = p[i++];
        if (fold_ != Fold::None || b == '\r' || b == '\n') {
            if (!passFold(b))
                return false;
            continue;
        }
        if (b < low_ || b > high_)
            return false;
        low_ = 0x80;
        high_ = 0xBF;
        if (--need_ == 0)
            multiByte_ = true;
    }
    return true;
}

}  // namespace pennacle
