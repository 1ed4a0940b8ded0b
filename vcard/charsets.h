#pragma once

#include <QString>
#include <QStringDecoder>

#include <array>

namespace pennacle {

// A decoder that can be made as good as new: resetState() alone leaves an ICU decoder's error
// flag set, so the next text would seem to hold an error too. Never moved: a moved ICU decoder
// of Qt 6.4 no longer counts the bytes it cannot read.
class ReusedDecoder : public QStringDecoder {
public:
    explicit ReusedDecoder(const char* name) : QStringDecoder(name, Flag::Stateless) {}
    Q_DISABLE_COPY_MOVE(ReusedDecoder)

    void restart() {
        resetState();
        state.invalidChars = 0;
    }
};

// A character set that cards name, with its decoder: made once and then reused, as making a
// decoder or a table of a set costs more than decoding a line in it.
class NamedCharset {
public:
    explicit NamedCharset(const QString& name);
    Q_DISABLE_COPY_MOVE(NamedCharset)

    // Whether Qt knows the set; an unknown name has no decoder.
    bool isKnown() const { return decoder_.isValid(); }
    // ISO-8859-1 by any of its names: each byte is the character of its own value.
    bool isLatin1() const { return latin1_; }
    // The set's stateless decoder, in the state of a new one.
    ReusedDecoder& freshDecoder() {
        decoder_.restart();
        return decoder_;
    }
    // For the common sets of one byte a character (Latin-1 aside): the character of each byte
    // as the decoder gives it alone, the replacement character for a byte that forms none.
    // Null for every other set.
    const std::array<char16_t, 256>* singleByteTable();

private:
    ReusedDecoder decoder_;
    bool latin1_ = false;
    bool singleByte_ = false;
    bool tableMade_ = false;
    std::array<char16_t, 256> table_{};
};

// The set of that name; names that differ in ASCII case alone are one set. The few sets used
// last are kept per thread, the unknown ones too, so lines switching between them make nothing
// anew. The reference holds until the thread's next call.
NamedCharset& charsetNamed(const QString& name);

}  // namespace pennacle
