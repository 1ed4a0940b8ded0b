#include "cards/importer.h"

#include "cards/displayname.h"
#include "core/utf8.h"
#include "vcard/cardlines.h"
#include "vcard/textfile.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <thread>

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
// and a V, in any case: where a marker has its colon. -1 when there is none. Colons are rare
// (one a line, none in photo data): the library's search runs far ahead between them.
qsizetype nextMarkerColon(const char* p, qsizetype from, qsizetype to, char before) {
    for (qsizetype i = std::max<qsizetype>(from, 1); i + 1 < to; ++i) {
        const void* colon = std::memchr(p + i, ':', size_t(to - 1 - i));
        if (!colon)
            return -1;
        i = static_cast<const char*>(colon) - p;
        if (isLetter(p[i - 1], before) && isLetter(p[i + 1], 'V'))
            return i;
    }
    return -1;
}

// Whether the marker at `start` begins a line: the text's start or a line break (CR or LF)
// before it, blanks between allowed. A note that mentions "END:VCARD", or a 3.0 AGENT value
// whose inline card follows an escaped "\n", ends nothing.
bool startsLine(const char* p, qsizetype start) {
    while (start > 0 && (p[start - 1] == ' ' || p[start - 1] == '\t'))
        --start;
    return start == 0 || p[start - 1] == '\n' || p[start - 1] == '\r';
}

// Which markers count: any, or only one that begins a line.
enum class Where { Anywhere, LineStart };

// The first marker at or after `from` that lies wholly within the bytes; -1 when there is none.
qsizetype findMarker(QByteArrayView text, qsizetype from, QLatin1StringView marker,
                     qsizetype colonAt, Where where = Where::Anywhere) {
    const char* p = text.data();
    const qsizetype size = text.size();
    qsizetype colon = from + colonAt;
    const char before = marker[colonAt - 1].toLatin1();
    while ((colon = nextMarkerColon(p, colon, size, before)) >= 0) {
        const qsizetype start = colon - colonAt;
        if (start >= from && start + marker.size() <= size && matchesAt(p + start, marker) &&
            (where == Where::Anywhere || startsLine(p, start)))
            return start;
        ++colon;
    }
    return -1;
}

// Names the cards as they are cut, in batches: on helper threads while the file is read on,
// or at once. Cards that hold nothing are left out. Reports reach the reporter from the calling
// thread, in the order of the cards.
class CardNamer {
public:
    CardNamer(Reporter& reporter, bool onHelpers)
        : reporter_(reporter),
          maxRunning_(onHelpers ? std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8)
                                : 0) {}

    void add(CardBytes card) {
        batch_.push_back(std::move(card));
        if (batch_.size() >= kBatchSize)
            launch();
    }

    // The cards named so far, and those waiting, are in another encoding than thought: their
    // names are read anew where they may differ.
    void changeEncoding(CardEncoding encoding) {
        waitFor(0);
        for (ContactEntry& entry : entries_) {
            entry.card = CardBytes(entry.card.bytes(), encoding);
            if (!isAscii(entry.card.bytes()))
                entry.Text = GetName(entry.card, reporter_);
        }
        for (CardBytes& card : batch_)
            card = CardBytes(card.bytes(), encoding);
    }

    std::vector<ContactEntry> finish() {
        launch();
        waitFor(0);
        return std::move(entries_);
    }

private:
    static constexpr size_t kBatchSize = 2048;

    struct Named {
        std::vector<ContactEntry> entries;
        QStringList reports;
    };

    static Named name(std::vector<CardBytes> cards) {
        Named named;
        CollectingReporter reporter;
        named.entries.reserve(cards.size());
        for (CardBytes& card : cards) {
            QString text = GetName(card, reporter);
            if (!text.isEmpty())
                named.entries.push_back(ContactEntry{std::move(text), std::move(card)});
        }
        named.reports = std::move(reporter.reports);
        return named;
    }

    void launch() {
        if (batch_.empty())
            return;
        std::vector<CardBytes> cards = std::exchange(batch_, {});
        batch_.reserve(kBatchSize);
        if (maxRunning_ == 0) {
            take(name(std::move(cards)));
            return;
        }
        waitFor(maxRunning_ - 1);
        running_.push_back(std::async(std::launch::async, &CardNamer::name, std::move(cards)));
    }

    // Takes the oldest batches until no more than `running` are left running.
    void waitFor(size_t running) {
        while (running_.size() > running) {
            take(running_.front().get());
            running_.pop_front();
        }
    }

    void take(Named named) {
        for (const QString& report : named.reports)
            reporter_.showReport(report);
        if (entries_.empty()) {
            entries_ = std::move(named.entries);
            return;
        }
        entries_.insert(entries_.end(), std::make_move_iterator(named.entries.begin()),
                        std::make_move_iterator(named.entries.end()));
    }

    Reporter& reporter_;
    size_t maxRunning_;
    std::vector<CardBytes> batch_;
    std::deque<std::future<Named>> running_;
    std::vector<ContactEntry> entries_;
};

// Cuts cards out of bytes that may arrive block by block: each "BEGIN:VCARD" up to the first
// "END:VCARD" at or after it, markers in any case, the card's bytes exactly as they stand.
class CardCutter {
public:
    CardCutter(CardNamer& namer, CardEncoding encoding) : namer_(namer), encoding_(encoding) {}

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
            const qsizetype end =
                findMarker(text, endFrom_, kEndMarker, kEndColon, Where::LineStart);
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
            namer_.add(CardBytes(std::move(card), encoding_));
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
    CardEncoding encoding() const { return encoding_; }

    // The cards to come are in another encoding than thought (a file without a mark turned
    // out not to be UTF-8).
    void changeEncoding(CardEncoding encoding) { encoding_ = encoding; }

    // Drops the bytes before the open card, or before where the search goes on.
    void dropConsumed(QByteArray& text) {
        const qsizetype keep = begin_ >= 0 ? begin_ : std::min(searchFrom_, text.size());
        if (keep == 0)
            return;
        // Moved by hand: removing from the front would leave the buffer's room there, and the
        // next block would take a new buffer of untouched pages.
        std::memmove(text.data(), text.constData() + keep, size_t(text.size() - keep));
        text.truncate(text.size() - keep);
        searchFrom_ = std::max<qsizetype>(searchFrom_ - keep, 0);
        if (begin_ >= 0) {
            begin_ -= keep;
            endFrom_ -= keep;
        }
    }

    // Where the scan stands in the text (for progress).
    qsizetype position() const { return begin_ >= 0 ? begin_ : searchFrom_; }

private:
    CardNamer& namer_;
    CardEncoding encoding_;
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
    CardNamer namer(reporter, false);
    CardCutter cutter(namer, text.encoding());
    if (progress) {
        cutter.tellEveryCards(kCardsPerProgressCall,
                              [&](qsizetype position) { return progress(position, text.size()); });
    }
    QByteArray shared = text.bytes();  // never changed: cards are copied out of it
    cutter.cut(shared, false);
    return cutter.stopped() ? std::vector<ContactEntry>() : namer.finish();
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
    : reader_(std::make_unique<TextFileReader>(path, blockSize)), path_(path) {}

CardFileImport::~CardFileImport() = default;

std::vector<ContactEntry> CardFileImport::scan(Reporter& reporter, const ScanProgress& progress) {
    CardNamer namer(reporter, true);
    CardCutter cutter(namer, reader_->encoding());
    QByteArray text;
    const auto followEncoding = [&] {
        if (reader_->encoding() == cutter.encoding())
            return;
        namer.changeEncoding(reader_->encoding());
        cutter.changeEncoding(reader_->encoding());
    };
    while (reader_->readInto(text) == TextFileReader::Read::Appended) {
        followEncoding();
        cutter.cut(text, true);
        cutter.dropConsumed(text);
        if (progress && !progress(reader_->position(), reader_->size()))
            return {};
    }
    followEncoding();
    std::vector<ContactEntry> entries = namer.finish();
    reportInvalidUtf8(reporter);
    return entries;
}

void CardFileImport::reportInvalidUtf8(Reporter& reporter) const {
    const qint64 line = reader_->invalidLine();
    if (line == 0)
        return;
    ReportApplicationError(
        reporter, procedureTag("Form1", "PushButton2_Click"), 104,
        QStringLiteral("Line %1 of \"%2\" holds bytes that are no UTF-8 text: they show as "
                       "\"\uFFFD\", and an edit of its card or an ANSI save does not keep them.")
            .arg(line)
            .arg(QFileInfo(path_).fileName()));
}

qsizetype importCardFile(const QString& path, std::vector<ContactEntry>& rows, Reporter& reporter) {
    std::vector<ContactEntry> entries = CardFileImport(path).scan(reporter);
    const auto added = static_cast<qsizetype>(entries.size());
    appendEntries(rows, std::move(entries));
    return added;
}

}  // namespace pennacle
