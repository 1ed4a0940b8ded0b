#include "cards/importer.h"

#include "cards/displayname.h"
#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/textfile.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pennacle {

namespace {

constexpr QLatin1StringView kBeginMarker = kBeginCard;
constexpr QLatin1StringView kEndMarker = kEndCard;
// Where the ":" stands in each marker.
constexpr qsizetype kBeginColon = 5;
constexpr qsizetype kEndColon = 3;
// Cards between two progress calls: rare enough to cost nothing, often enough to stay smooth.
constexpr int kCardsPerProgressCall = 2048;
// A card at least this long is handed over with the read buffer it grew in, not copied.
constexpr qsizetype kLongCard = qsizetype(1) << 20;

// Compares bytes with an upper-case ASCII marker, ignoring the case of its letters. Bytes of
// characters beyond ASCII never equal an ASCII letter, in UTF-8 as in Windows-1252.
bool matchesAt(const char* text, QLatin1StringView marker) {
    for (qsizetype i = 0; i < marker.size(); ++i) {
        const char c = text[i];
        const char m = marker[i].toLatin1();
        if (c != m && !(m >= 'A' && m <= 'Z' && c == m + 32))
            return false;
    }
    return true;
}

bool isLetter(char c, char upper) {
    return (c | 0x20) == (upper | 0x20);
}

// The next ":" at or after `from` (and before `to`) that stands between the letter `before`
// and a V, in any case: where a marker has its colon. -1 when there is none.
qsizetype nextMarkerColon(const char* p, qsizetype from, qsizetype to, char before) {
    qsizetype i = std::max<qsizetype>(from, 1);
#if defined(__SSE2__)
    // Sixteen bytes at a time, each compared with its neighbours.
    const __m128i colon = _mm_set1_epi8(':');
    const __m128i lowerBit = _mm_set1_epi8(0x20);
    const __m128i letter = _mm_set1_epi8(char(before | 0x20));
    const __m128i v = _mm_set1_epi8('v');
    for (; i + 17 <= to; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int colons = _mm_movemask_epi8(_mm_cmpeq_epi8(here, colon));
        if (colons == 0)
            continue;
        const __m128i previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
        const int mask = colons & _mm_movemask_epi8(_mm_and_si128(
                                      _mm_cmpeq_epi8(_mm_or_si128(previous, lowerBit), letter),
                                      _mm_cmpeq_epi8(_mm_or_si128(after, lowerBit), v)));
        if (mask != 0)
            return i + __builtin_ctz(unsigned(mask));
    }
#endif
    for (; i + 1 < to; ++i) {
        if (p[i] == ':' && isLetter(p[i - 1], before) && isLetter(p[i + 1], 'V'))
            return i;
    }
    return -1;
}

// The first marker at or after `from` that lies wholly within the bytes; -1 when there is none.
qsizetype findMarker(QByteArrayView text, qsizetype from, QLatin1StringView marker,
                     qsizetype colonAt) {
    const char* p = text.data();
    const qsizetype size = text.size();
    qsizetype colon = from + colonAt;
    const char before = marker[colonAt - 1].toLatin1();
    while ((colon = nextMarkerColon(p, colon, size, before)) >= 0) {
        const qsizetype start = colon - colonAt;
        if (start >= from && start + marker.size() <= size && matchesAt(p + start, marker))
            return start;
        ++colon;
    }
    return -1;
}

// Whether the bytes hold anything but ASCII: only such a card reads differently in another
// encoding.
bool holdsNonAscii(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return asciiRunEnd(p, 0, bytes.size()) < bytes.size();
}

// Cuts cards out of bytes that may arrive block by block: each "BEGIN:VCARD" up to the first
// "END:VCARD" at or after it, markers in any case, the card's bytes exactly as they stand.
class CardCutter {
public:
    CardCutter(Reporter& reporter, CardEncoding encoding)
        : reporter_(reporter), encoding_(encoding) {}

    // Cuts every card that is complete in the bytes. With `owned` they are the read buffer,
    // which a long card may take over; otherwise cards are copied out of it.
    void cut(QByteArray& text, bool owned) {
        while (!stopped_) {
            if (begin_ < 0) {
                begin_ = findMarker(text, searchFrom_, kBeginMarker, kBeginColon);
                if (begin_ < 0) {
                    // A marker may be cut by the end of the block.
                    searchFrom_ = std::max(searchFrom_, text.size() - kBeginMarker.size() + 1);
                    return;
                }
                endFrom_ = begin_;
            }
            const qsizetype end = findMarker(text, endFrom_, kEndMarker, kEndColon);
            if (end < 0) {
                endFrom_ = std::max(begin_, text.size() - kEndMarker.size() + 1);
                return;
            }
            const qsizetype cardEnd = end + kEndMarker.size();
            QByteArray card;
            if (owned && begin_ == 0 && cardEnd >= kLongCard) {
                QByteArray rest = text.sliced(cardEnd);
                text.truncate(cardEnd);
                card = std::move(text);
                text = std::move(rest);
                searchFrom_ = 0;
            } else {
                card = text.sliced(begin_, cardEnd - begin_);
                searchFrom_ = cardEnd;
            }
            begin_ = -1;
            CardBytes bytes(std::move(card), encoding_);
            QString name = GetName(bytes, reporter_);
            if (!name.isEmpty())
                entries_.push_back(ContactEntry{std::move(name), std::move(bytes)});
            if (tell_ && ++sinceTold_ == tellEvery_) {
                sinceTold_ = 0;
                stopped_ = !tell_(searchFrom_);
            }
        }
    }

    // Calls `tell` with the scan position after every `cards` cards; it returns false to stop.
    void tellEveryCards(int cards, std::function<bool(qsizetype)> tell) {
        tellEvery_ = cards;
        tell_ = std::move(tell);
    }
    bool stopped() const { return stopped_; }

    // The cards cut so far are in another encoding than thought (a file without a mark
    // turned out not to be UTF-8), and so are the cards to come: their names are read anew.
    void changeEncoding(CardEncoding encoding) {
        if (encoding == encoding_)
            return;
        encoding_ = encoding;
        for (ContactEntry& entry : entries_) {
            entry.card = CardBytes(entry.card.bytes(), encoding);
            if (holdsNonAscii(entry.card.bytes()))
                entry.Text = GetName(entry.card, reporter_);
        }
    }

    // Drops the bytes before the open card, or before where the search goes on.
    void dropConsumed(QByteArray& text) {
        const qsizetype keep = begin_ >= 0 ? begin_ : std::min(searchFrom_, text.size());
        if (keep == 0)
            return;
        text.remove(0, keep);
        searchFrom_ = std::max<qsizetype>(searchFrom_ - keep, 0);
        if (begin_ >= 0) {
            begin_ -= keep;
            endFrom_ -= keep;
        }
    }

    qsizetype cardsCut() const { return qsizetype(entries_.size()); }
    std::vector<ContactEntry> take() { return std::move(entries_); }

    // Where the scan stands in the text (for progress).
    qsizetype position() const { return begin_ >= 0 ? begin_ : searchFrom_; }

private:
    Reporter& reporter_;
    CardEncoding encoding_;
    std::vector<ContactEntry> entries_;
    qsizetype begin_ = -1;      // start of the open card, -1 while none is open
    qsizetype searchFrom_ = 0;  // where the search for the next "BEGIN:VCARD" goes on
    qsizetype endFrom_ = 0;     // where the search for the open card's "END:VCARD" goes on
    std::function<bool(qsizetype)> tell_;
    int tellEvery_ = 0;
    int sinceTold_ = 0;
    bool stopped_ = false;
};

}  // namespace

std::vector<ContactEntry> scanCards(const CardBytes& text, Reporter& reporter,
                                    const ScanProgress& progress) {
    CardCutter cutter(reporter, text.encoding());
    if (progress) {
        cutter.tellEveryCards(kCardsPerProgressCall,
                              [&](qsizetype position) { return progress(position, text.size()); });
    }
    QByteArray shared = text.bytes();  // never changed: cards are copied out of it
    cutter.cut(shared, false);
    return cutter.stopped() ? std::vector<ContactEntry>() : cutter.take();
}

CardBytes readCardFile(const QString& path) {
    TextFileReader reader(path);
    QByteArray bytes;
    bytes.reserve(qsizetype(reader.size()));
    while (reader.readInto(bytes) == TextFileReader::Read::Appended) {
    }
    return CardBytes(std::move(bytes), reader.encoding());
}

CardFileImport::CardFileImport(const QString& path, qint64 blockSize)
    : reader_(std::make_unique<TextFileReader>(path, blockSize)) {}

CardFileImport::~CardFileImport() = default;

std::vector<ContactEntry> CardFileImport::scan(Reporter& reporter, const ScanProgress& progress) {
    CardCutter cutter(reporter, reader_->encoding());
    QByteArray text;
    while (reader_->readInto(text) == TextFileReader::Read::Appended) {
        cutter.changeEncoding(reader_->encoding());
        cutter.cut(text, true);
        cutter.dropConsumed(text);
        if (progress && !progress(reader_->position(), reader_->size()))
            return {};
    }
    cutter.changeEncoding(reader_->encoding());
    return cutter.take();
}

qsizetype importCardFile(const QString& path, ContactList& list, Reporter& reporter) {
    std::vector<ContactEntry> entries = CardFileImport(path).scan(reporter);
    const auto added = static_cast<qsizetype>(entries.size());
    if (added > 0) {
        list.append(std::move(entries));
    }
    return added;
}

}  // namespace pennacle
