#include "cards/importer.h"

#include "cards/displayname.h"
#include "cards/textfile.h"

namespace pennacle {

namespace {

const QLatin1StringView kBeginMarker("BEGIN:VCARD");
const QLatin1StringView kEndMarker("END:VCARD");
// Cards between two progress calls: rare enough to cost nothing, often enough to stay smooth.
constexpr int kCardsPerProgressCall = 2048;

}  // namespace

std::vector<ContactEntry> scanCards(const QString& text, Reporter& reporter,
                                    const ScanProgress& progress) {
    std::vector<ContactEntry> entries;
    qsizetype position = 0;
    for (int sinceProgress = 0;; ++sinceProgress) {
        if (progress && sinceProgress == kCardsPerProgressCall) {
            sinceProgress = 0;
            if (!progress(position, text.size())) {
                return {};
            }
        }
        const qsizetype begin = text.indexOf(kBeginMarker, position, Qt::CaseInsensitive);
        if (begin < 0) {
            break;
        }
        const qsizetype end = text.indexOf(kEndMarker, begin, Qt::CaseInsensitive);
        if (end < 0) {
            break;
        }
        position = end + kEndMarker.size();
        QString card = text.sliced(begin, position - begin);
        QString name = GetName(card, reporter);
        if (!name.isEmpty()) {
            entries.push_back(ContactEntry{std::move(name), std::move(card)});
        }
    }
    return entries;
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

qsizetype importCardFile(const QString& path, ContactList& list, Reporter& reporter) {
    std::vector<ContactEntry> entries = scanCards(readCardFile(path), reporter);
    const auto added = static_cast<qsizetype>(entries.size());
    if (added > 0) {
        list.append(std::move(entries));
    }
    return added;
}

}  // namespace pennacle
