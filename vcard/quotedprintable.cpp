#include "vcard/quotedprintable.h"

#include "core/ansiencoding.h"
#include "core/utf8.h"
#include "vcard/charsets.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstring>

namespace pennacle {

namespace {

// Value of each hexadecimal digit, either case; 0xFF for every other ASCII character.
constexpr std::array<unsigned char, 128> makeHexTable() {
    std::array<unsigned char, 128> table{};
    for (auto& entry : table) {
        entry = 0xFF;
    }
    for (int d = 0; d < 10; ++d) {
        table['0' + d] = static_cast<unsigned char>(d);
    }
    for (int d = 0; d < 6; ++d) {
        table['A' + d] = static_cast<unsigned char>(10 + d);
        table['a' + d] = static_cast<unsigned char>(10 + d);
    }
    return table;
}

constexpr std::array<unsigned char, 128> kHexValue = makeHexTable();

int hexValue(char16_t c) {
    return c < 128 && kHexValue[c] != 0xFF ? kHexValue[c] : -1;
}

// Strict UTF-8: a byte that does not start a well-formed sequence is dropped on its own, so
// overlong forms, encoded surrogates and code points past U+10FFFF give nothing; `dropped`
// tells whether any was. Writes at most one UTF-16 unit per byte and returns the end of what
// it wrote.
char16_t* decodeUtf8(const unsigned char* p, qsizetype n, char16_t* out, bool& dropped) {
    dropped = false;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b0 = p[i];
        if (b0 < 0x80) {
            *out++ = b0;
            ++i;
            continue;
        }
        const Utf8Lead lead = utf8Lead(b0);
        const int length = lead.length;
        if (length == 0 || i + length > n || p[i + 1] < lead.low || p[i + 1] > lead.high) {
            dropped = true;
            ++i;
            continue;
        }
        bool wellFormed = true;
        for (int k = 2; k < length; ++k) {
            wellFormed = wellFormed && isUtf8Continuation(p[i + k]);
        }
        if (!wellFormed) {
            dropped = true;
            ++i;
            continue;
        }
        char32_t code = b0 & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (QChar::requiresSurrogates(code)) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = char16_t(code);
        }
        i += length;
    }
    return out;
}

// The decoded text, written in place into a string sized for the worst case: no output is
// longer than its input, since every character comes from at least one character of the
// value (a literal), or from one to four escapes of three characters each.
class Output {
public:
    explicit Output(qsizetype capacity) : text_(capacity, Qt::Uninitialized) {
        begin_ = reinterpret_cast<char16_t*>(text_.data());
        end_ = begin_;
    }

    char16_t*& end() { return end_; }
    qsizetype room() const { return text_.size() - (end_ - begin_); }

    void append(QStringView chars) {
        std::memcpy(end_, chars.utf16(), size_t(chars.size()) * sizeof(char16_t));
        end_ += chars.size();
    }

    QString take() {
        text_.truncate(end_ - begin_);
        // A value of escapes decodes to a third of its length or less; keep only that.
        if (text_.size() < text_.capacity() / 2) {
            text_.squeeze();
        }
        return std::move(text_);
    }

private:
    QString text_;
    char16_t* begin_ = nullptr;
    char16_t* end_ = nullptr;
};

// Reads the escaped bytes in the named character set; UTF-8 takes the strict path. With no set
// named, a run that is no UTF-8 is read as Windows-1252, as the exporters that name no set
// write it ("Stra=DFe"), rather than losing its letters.
class RunDecoder {
public:
    explicit RunDecoder(const QString& charset) {
        const QString name = charset.trimmed();
        guessAnsi_ = name.isEmpty();
        const bool utf8 = name.isEmpty() || name.compare(u"UTF-8", Qt::CaseInsensitive) == 0 ||
                          name.compare(u"UTF8", Qt::CaseInsensitive) == 0;
        if (!utf8) {
            NamedCharset& set = charsetNamed(name);
            if (set.isKnown()) {
                // Latin-1 makes one character of every byte, and the other single-byte sets
                // are looked up: no decoder call per run.
                latin1_ = set.isLatin1();
                table_ = set.singleByteTable();
                decoder_ = &set.freshDecoder();
            }
        }
    }

    void append(Output& out, const unsigned char* bytes, qsizetype n) {
        char16_t*& end = out.end();
        if (!decoder_) {
            char16_t* const start = end;
            bool dropped = false;
            end = decodeUtf8(bytes, n, end, dropped);
            if (dropped && guessAnsi_) {
                const QString text = decodeAnsi(QByteArrayView(bytes, n));
                end = std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, start);
            }
            return;
        }
        if (latin1_) {
            end = std::copy(bytes, bytes + n, end);
            return;
        }
        // Bytes that form no character in that set are dropped, not replaced.
        char16_t* const start = end;
        if (table_) {
            for (qsizetype i = 0; i < n; ++i) {
                *end++ = (*table_)[bytes[i]];
            }
        } else {
            const QByteArrayView run(reinterpret_cast<const char*>(bytes), n);
            if (decoder_->requiredSpace(n) <= out.room()) {
                end = reinterpret_cast<char16_t*>(
                    decoder_->appendToBuffer(reinterpret_cast<QChar*>(start), run));
            } else {
                const QString decoded = decoder_->decode(run);
                end = std::copy_n(reinterpret_cast<const char16_t*>(decoded.utf16()),
                                  std::min(decoded.size(), out.room()), start);
            }
        }
        end = std::remove(start, end, char16_t(QChar::ReplacementCharacter));
    }

private:
    QStringDecoder* decoder_ = nullptr;  // the set's, kept per thread; none for UTF-8
    bool guessAnsi_ = false;
    bool latin1_ = false;
    const std::array<char16_t, 256>* table_ = nullptr;
};

}  // namespace

QString DecodeQuotedPrintable(const QString& value, const QString& charset) {
    RunDecoder runDecoder(charset);
    const qsizetype n = value.size();
    const char16_t* p = reinterpret_cast<const char16_t*>(value.utf16());
    Output out(n);
    // The bytes of the current run of escapes; at most one for every three characters.
    QByteArray runBytes(n / 3 + 1, Qt::Uninitialized);
    auto* const run = reinterpret_cast<unsigned char*>(runBytes.data());
    qsizetype runSize = 0;
    qsizetype i = 0;
    while (i < n) {
        if (p[i] == u'=') {
            const int high = i + 1 < n ? hexValue(p[i + 1]) : -1;
            const int low = high >= 0 && i + 2 < n ? hexValue(p[i + 2]) : -1;
            if (low >= 0) {
                run[runSize++] = static_cast<unsigned char>(high * 16 + low);
                i += 3;
            } else {
                ++i;  // a stray "=" stands for nothing and does not end the run
            }
            continue;
        }
        if (runSize > 0) {
            runDecoder.append(out, run, runSize);
            runSize = 0;
        }
        // Copy the literal stretch up to the next "=" in one go.
        qsizetype next = QStringView(value).indexOf(u'=', i);
        if (next < 0) {
            next = n;
        }
        out.append(QStringView(p + i, next - i));
        i = next;
    }
    if (runSize > 0) {
        runDecoder.append(out, run, runSize);
    }
    return out.take();
}

QString decodeWrittenNote(QStringView note) {
    static constexpr QStringView kBreak = u"=0D=0A";
    static constexpr QStringView kEquals = u"=3D";
    QString result;
    result.reserve(note.size());
    qsizetype start = 0;
    for (qsizetype at = note.indexOf(u'='); at >= 0; at = note.indexOf(u'=', start)) {
        const QStringView rest = note.sliced(at);
        QStringView replacement;
        qsizetype length = 0;
        if (rest.startsWith(kBreak)) {
            replacement = QStringView(u"\r\n");
            length = kBreak.size();
        } else if (rest.startsWith(kEquals)) {
            replacement = u"=";
            length = kEquals.size();
        } else {
            result.append(note.sliced(start, at + 1 - start));
            start = at + 1;
            continue;
        }
        result.append(note.sliced(start, at - start));
        result.append(replacement);
        start = at + length;
    }
    result.append(note.sliced(start));
    return result;
}

}  // namespace pennacle
