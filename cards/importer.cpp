#include "cards/importer.h"

#include "cards/displayname.h"
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

// Compares text with an upper-case ASCII marker, ignoring the case of its letters. No other
// character folds to one of the letters of "BEGIN:VCARD" or "END:VCARD" (only U+017F and the
// Kelvin sign fold into ASCII, to "s" and "k"), so this is exactly a case-insensitive match.
bool matchesAt(const char16_t* text, QLatin1StringView marker) {
    for (qsizetype i = 0; i < marker.size(); ++i) {
        const char16_t c = text[i];
        const char16_t m = char16_t(marker[i].unicode());
        if (c != m && !(m >= u'A' && m <= u'Z' && c == m + 32))
            return false;
    }
    return true;
}

bool isLetter(char16_t c, char16_t upper) {
    return (c | 0x20) == (upper | 0x20);
}

// The next ":" at or after `from` (and before `to`) that stands between the letter `before`
// and a V, in any case: where a marker has its colon. -1 when there is none.
qsizetype nextMarkerColon(const char16_t* p, qsizetype from, qsizetype to, char16_t before) {
    qsizetype i = std::max<qsizetype>(from, 1);
#if defined(__SSE2__)
    // Eight characters at a time, each compared with its neighbours.
    const __m128i colon = _mm_set1_epi16(':');
    const __m128i lowerBit = _mm_set1_epi16(0x20);
    const __m128i letter = _mm_set1_epi16(short(before | 0x20));
    const __m128i v = _mm_set1_epi16('v');
    for (; i + 9 <= to; i += 8) {
        const auto* at = reinterpret_cast<const __m128i*>(p + i);
        const __m128i here = _mm_loadu_si128(at);
        const __m128i previous = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
        const __m128i hit =
            _mm_and_si128(_mm_cmpeq_epi16(here, colon),
                          _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(previous, lowerBit), letter),
                                        _mm_cmpeq_epi16(_mm_or_si128(after, lowerBit), v)));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0)
            return i + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    for (; i + 1 < to; ++i) {
        if (p[i] == u':' && isLetter(p[i - 1], before) && isLetter(p[i + 1], u'V'))
            return i;
    }
    return -1;
}

// The first marker at or after `from` that lies wholly within the text; -1 when there is none.
qsizetype findMarker(QStringView text, qsizetype from, QLatin1StringView marker,
                     qsizetype colonAt) {
    const auto* p = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    qsizetype colon = from + colonAt;
    const char16_t before = char16_t(marker[colonAt - 1].unicode());
    while ((colon = nextMarkerColon(p, colon, size, before)) >= 0) {
        const qsizetype start = colon - colonAt;
        if (start >= from && start + marker.size() <= size && matchesAt(p + start, marker))
            return start;
        ++colon;
    }
    return -1;
}

// Cuts cards out of text that may arrive block by block: each "BEGIN:VCARD" up to the first
// "END:VCARD" at or after it, markers in any case, the card text exactly as it stands.
class CardCutter {
public:
    explicit CardCutter(Reporter& reporter) : reporter_(reporter) {}

    // Cuts every card that is complete in the text. With `owned` the text is the read
    // buffer, which a long card may take over; otherwise cards are copied out of it.
    void cut(QString& text, bool owned) {
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
            QString card;
            if (owned && begin_ == 0 && cardEnd >= kLongCard) {
                QString rest = text.sliced(cardEnd);
                text.truncate(cardEnd);
                card = std::move(text);
                text = std::move(rest);
                searchFrom_ = 0;
            } else {
                card = text.sliced(begin_, cardEnd - begin_);
                searchFrom_ = cardEnd;
            }
            begin_ = -1;
            QString name = GetName(card, reporter_);
            if (!name.isEmpty())
                entries_.push_back(ContactEntry{std::move(name), std::move(card)});
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

    // Drops the text before the open card, or before where the search goes on.
    void dropConsumed(QString& text) {
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

    void reset() {
        entries_.clear();
        begin_ = -1;
        searchFrom_ = 0;
        endFrom_ = 0;
    }

    qsizetype cardsCut() const { return qsizetype(entries_.size()); }
    std::vector<ContactEntry> take() { return std::move(entries_); }

    // Where the scan stands in the text (for progress).
    qsizetype position() const { return begin_ >= 0 ? begin_ : searchFrom_; }

private:
    Reporter& reporter_;
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

std::vector<ContactEntry> scanCards(const QString& text, Reporter& reporter,
                                    const ScanProgress& progress) {
    CardCutter cutter(reporter);
    if (progress) {
        cutter.tellEveryCards(kCardsPerProgressCall,
                              [&](qsizetype position) { return progress(position, text.size()); });
    }
    QString shared = text;  // never changed: cards are copied out of it
    cutter.cut(shared, false);
    return cutter.stopped() ? std::vector<ContactEntry>() : cutter.take();
}

QString readCardFile(const QString& path) {
    QStringList pieces = ReadTextFile(path);
    if (pieces.size() == 1) {
        return std::move(pieces.first());
    }
    qsizetype total = 0;
    for (const QString& piece : pieces) {
        total += piece.size();
    }
    QString text;
    text.reserve(total);
    for (const QString& piece : pieces) {
        text.append(piece);
    }
    return text;
}

CardFileImport::CardFileImport(const QString& path, qint64 blockSize)
    : reader_(std::make_unique<TextFileReader>(path, blockSize)) {}

CardFileImport::~CardFileImport() = default;

std::vector<ContactEntry> CardFileImport::scan(Reporter& reporter, const ScanProgress& progress) {
    CardCutter cutter(reporter);
    QString text;
    for (;;) {
        const TextFileReader::Read read = reader_->readInto(text);
        if (read == TextFileReader::Read::End)
            break;
        if (read == TextFileReader::Read::Restart) {
            text.clear();
            cutter.reset();
            continue;
        }
        cutter.cut(text, true);
        cutter.dropConsumed(text);
        if (progress && !progress(reader_->position(), reader_->size()))
            return {};
    }
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
