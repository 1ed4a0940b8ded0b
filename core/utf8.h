#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace pennacle {

// What a strict UTF-8 sequence that starts with `lead` holds: `length` bytes in all (1 for
// ASCII, 0 when no sequence starts so), the second within [low, high], any others 80–BF. The
// bounds leave out overlong forms, encoded surrogates and code points past U+10FFFF.
struct Utf8Lead {
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

constexpr Utf8Lead utf8Lead(unsigned char lead) {
    if (lead < 0x80)
        return {1};
    if (lead >= 0xC2 && lead <= 0xDF)
        return {2};
    using byte = unsigned char;
    if (lead >= 0xE0 && lead <= 0xEF)
        return {3, byte(lead == 0xE0 ? 0xA0 : 0x80), byte(lead == 0xED ? 0x9F : 0xBF)};
    if (lead >= 0xF0 && lead <= 0xF4)
        return {4, byte(lead == 0xF0 ? 0x90 : 0x80), byte(lead == 0xF4 ? 0x8F : 0xBF)};
    return {};
}

constexpr bool isUtf8Continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The end of the run of ASCII bytes that starts at `from`.
qsizetype asciiRunEnd(const unsigned char* p, qsizetype from, qsizetype n);

// Whether the bytes are ASCII only, which read the same in UTF-8 and in Windows-1252.
inline bool isAscii(QByteArrayView bytes) {
    return asciiRunEnd(reinterpret_cast<const unsigned char*>(bytes.data()), 0, bytes.size()) ==
           bytes.size();
}

// Appends the UTF-8 bytes of the text.
void appendUtf8(QByteArray& out, QStringView text);

// Strict UTF-8 checked piece by piece; a sequence may run on into the next piece. A fold (a
// line break, then one blank or tab) inside a sequence does not break it: exporters that fold
// by bytes cut characters so, and the card's reader joins them again.
class Utf8Validator {
public:
    // False from the first byte that no UTF-8 text can hold.
    bool feed(QByteArrayView bytes);
    // True when no sequence waits for more bytes.
    bool atSequenceEnd() const { return need_ == 0; }
    // True once a whole multi-byte sequence went by.
    bool sawMultiByte() const { return multiByte_; }

private:
    enum class Fold : quint8 { None, AfterCr, AfterLf };
    // One byte of a fold inside a sequence; false when the bytes are no fold.
    bool passFold(unsigned char b);

    int need_ = 0;  // continuation bytes still to come
    Fold fold_ = Fold::None;
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF;
    bool multiByte_ = false;
};

}  // namespace pennacle
