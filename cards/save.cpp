#include "cards/save.h"

#include "core/utf8.h"
#include "vcard/recode.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <future>
#include <optional>
#include <thread>
#include <utility>

namespace pennacle {

namespace {

// The writing half of the window's save command: its steps go on from the command's numbers.
QString saveTag() {
    return procedureTag("Form1", "PushButton1_Click");
}

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
constexpr QByteArrayView kLineEnd = "\r\n";
// The one-file layout is streamed through a buffer of about this size.
constexpr qsizetype kFlushSize = qsizetype(1) << 20;

// A card's bytes as they stand when the save keeps its encoding (and for ASCII, which reads
// the same in both); otherwise converted.
void appendEncoded(QByteArray& out, const CardBytes& card, SaveEncoding encoding) {
    const CardEncoding target =
        encoding == SaveEncoding::Ansi ? CardEncoding::Ansi : CardEncoding::Utf8;
    if (card.encoding() == target || isAscii(card.bytes()))
        out.append(card.bytes());
    else
        appendRecoded(out, card, target);
}

// A card as the save writes it: converted when the save asks for one version.
void appendSaved(QByteArray& out, const CardBytes& card, const SaveRequest& request,
                 Reporter& reporter) {
    if (request.version)
        out.append(convertCard(card, *request.version, reporter).bytes());
    else
        appendEncoded(out, card, request.encoding);
}

// Converting cards to another version is the costly part of such a save: a batch of cards is
// converted on every core at once, and the failures each reported are replayed in order.
class ConvertedCards {
public:
    static constexpr qsizetype kBatch = 4096;

    ConvertedCards(std::span<const ContactEntry> contacts, CardVersion version)
        : contacts_(contacts), version_(version) {}

    // The cards of rows [from, from + kBatch), converted; each card's reports after it.
    const std::vector<QByteArray>& convert(qsizetype from, Reporter& reporter) {
        const qsizetype n = std::min(kBatch, qsizetype(contacts_.size()) - from);
        cards_.assign(size_t(n), QByteArray());
        reports_.assign(size_t(n), QStringList());
        const qsizetype threads = std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, 8);
        const qsizetype chunk = (n + threads - 1) / threads;
        std::vector<std::future<void>> work;
        for (qsizetype start = 0; start < n; start += chunk) {
            work.push_back(std::async(std::launch::async,
                                      [this, from, start, end = std::min(n, start + chunk)] {
                                          convertRange(from, start, end);
                                      }));
        }
        for (auto& done : work)
            done.get();
        for (const QStringList& reports : reports_) {
            for (const QString& report : reports)
                reporter.showReport(report);
        }
        return cards_;
    }

private:
    void convertRange(qsizetype from, qsizetype start, qsizetype end) {
        CollectingReporter collector;
        for (qsizetype i = start; i < end; ++i) {
            cards_[size_t(i)] =
                convertCard(contacts_[size_t(from + i)].card, version_, collector).bytes();
            reports_[size_t(i)] = std::exchange(collector.reports, {});
        }
    }

    std::span<const ContactEntry> contacts_;
    CardVersion version_;
    std::vector<QByteArray> cards_;
    std::vector<QStringList> reports_;
};

// Whether every byte of a card converts to Windows-1252: valid UTF-8 of characters that the
// code page has, or of values that go as quoted-printable.
bool convertsToAnsi(const CardBytes& card) {
    if (card.encoding() == CardEncoding::Ansi || isAscii(card.bytes()))
        return true;
    Utf8Validator check;
    QByteArray scratch;
    return check.feed(card.bytes()) && check.atSequenceEnd() &&
           appendRecoded(scratch, card, CardEncoding::Ansi);
}

// A file that reaches its path only when it is complete; until then it is a temporary file
// in the same folder, removed again when the writing fails or stops.
class AtomicFile {
public:
    explicit AtomicFile(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::WriteOnly)) {
            fail();
        }
    }

    void write(const QByteArray& bytes) {
        if (file_.write(bytes) != bytes.size()) {
            fail();
        }
    }

    void commit() {
        if (!file_.commit()) {
            fail();
        }
    }

    void cancel() { file_.cancelWriting(); }

private:
    [[noreturn]] void fail() {
        throw Failure(QStringLiteral("Cannot write \"%1\": %2")
                          .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
    }

    QSaveFile file_;
};

// Returns false when the progress callback stopped the save.
bool writeOneFile(std::span<const ContactEntry> contacts, const SaveRequest& request,
                  const SaveProgress& progress, Reporter& reporter) {
    AtomicFile file(request.target);
    QByteArray buffer;
    buffer.reserve(kFlushSize + kFlushSize / 4);
    if (request.encoding == SaveEncoding::Utf8 && !request.version) {
        buffer.append(kUtf8Mark);
    }
    const auto total = qsizetype(contacts.size());
    std::optional<ConvertedCards> converted;
    if (request.version)
        converted.emplace(contacts, *request.version);
    const std::vector<QByteArray>* batch = nullptr;
    for (qsizetype row = 0; row < total; ++row) {
        // Joined by CR LF with CR LF after the last: every card is followed by one CR LF.
        if (converted) {
            if (row % ConvertedCards::kBatch == 0)
                batch = &converted->convert(row, reporter);
            buffer.append((*batch)[size_t(row % ConvertedCards::kBatch)]);
        } else {
            appendSaved(buffer, contacts[size_t(row)].card, request, reporter);
        }
        buffer.append(kLineEnd);
        if (buffer.size() >= kFlushSize) {
            file.write(buffer);
            buffer.resize(0);
        }
        if (progress && !progress(row + 1, total)) {
            file.cancel();
            return false;
        }
    }
    file.write(buffer);
    file.commit();
    return true;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void failToWrite(const QString& path, const QString& reason) {
    throw Failure(
        QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason));
}

// Flushes everything written to the file system that holds the folder, then the folder's own
// entries. One call for a whole batch of files: syncing each file on its own costs a journal
// commit per file, which made saving 100,000 contacts take minutes.
void syncFolderToDisk(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        throw Failure(QStringLiteral("Cannot bring the files in \"%1\" to disk: %2")
                          .arg(QDir::toNativeSeparators(folder), errnoText(errno)));
    }
#ifdef Q_OS_LINUX
    int result = ::syncfs(fd);
#else
    int result = 0;  // each file was synced when it was written
#endif
    if (result == 0) {
        result = ::fsync(fd);
    }
    const int error = errno;
    ::close(fd);
    if (result != 0) {
        throw Failure(QStringLiteral("Cannot bring the files in \"%1\" to disk: %2")
                          .arg(QDir::toNativeSeparators(folder), errnoText(error)));
    }
}

FolderSync folderSync = &syncFolderToDisk;

// Writes all bytes to the descriptor; returns 0 or the error number.
int writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        left -= written;
    }
    return 0;
}

// The names of the links in a folder, from one listing rather than a look-up per file.
QSet<QString> linksIn(const QString& folder) {
    QSet<QString> links;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        return links;  // writing into it will fail and say why
    }
    while (const dirent* entry = ::readdir(dir)) {
        bool link = entry->d_type == DT_LNK;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            link = ::fstatat(::dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                   S_ISLNK(status.st_mode);
        }
        if (link) {
            links.insert(QFile::decodeName(entry->d_name));
        }
    }
    ::closedir(dir);
    return links;
}

// The per-contact layout: every file is first written whole under a temporary name in the
// target folder; then the folder is synced once, and only then is each temporary file renamed
// over its target, and the folder synced again. A failure or a crash before the renames leaves
// every target as it was, and no target ever holds a part of its file.
class ContactFileBatch {
public:
    explicit ContactFileBatch(const QString& folder, qsizetype size)
        : folder_(folder),
          dir_(folder),
          links_(linksIn(folder)),
          nameMax_(::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX)),
          prefix_(dir_.filePath(
              QStringLiteral(".pennacle-%1-")
                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')))) {
        pending_.reserve(size);
    }

    ~ContactFileBatch() { discard(); }

    // Writes one file under a temporary name; returns false when it went straight to its
    // target instead (a link, written through as before, synced on its own).
    bool write(const QString& name, const QByteArray& bytes) {
        const QString target = dir_.filePath(name);
        // A name the file system cannot hold fails here, with its contact, rather than at the
        // rename after the whole batch.
        if (nameMax_ > 0 && QFile::encodeName(name).size() > nameMax_) {
            failToWrite(target, errnoText(ENAMETOOLONG));
        }
        if (links_.contains(name)) {
            AtomicFile file(target);
            file.write(bytes);
            file.commit();
            return false;
        }
        const QString temporary =
            prefix_ + QString::number(pending_.size()) + QLatin1String(".tmp");
        const QByteArray path = QFile::encodeName(temporary);
        // Plain system calls: a QFile would add a status call and buffers to each of
        // 100,000 small files.
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            failToWrite(target, errnoText(errno));
        }
        int error = writeAll(fd, bytes);
#ifndef Q_OS_LINUX
        if (error == 0 && ::fsync(fd) != 0) {
            error = errno;
        }
#endif
        if (::close(fd) != 0 && error == 0) {
            error = errno;
        }
        if (error != 0) {
            ::unlink(path.constData());
            failToWrite(target, errnoText(error));
        }
        pending_.push_back({temporary, target});
        return true;
    }

    qsizetype size() const {
        return qsizetype(pending_.size());
    }

    // Makes the written files durable. When that fails they are removed, not renamed.
    void sync() {
        try {
            folderSync(folder_);
        } catch (...) {
            discard();
            throw;
        }
    }

    // Renames the next temporary file over its target; false when none is left.
    bool renameNext() {
        if (renamed_ == size()) {
            return false;
        }
        const Pending& file = pending_[size_t(renamed_++)];
        const QByteArray from = QFile::encodeName(file.temporary);
        const QByteArray to = QFile::encodeName(file.target);
        if (::rename(from.constData(), to.constData()) != 0) {
            const int error = errno;
            QFile::remove(file.temporary);
            failToWrite(file.target, errnoText(error));
        }
        return true;
    }

    // Makes the renames durable.
    void syncRenames() {
        folderSync(folder_);
    }

private:
    struct Pending {
        QString temporary;
        QString target;
    };

    // Removes the temporary files not renamed yet.
    void discard() {
        for (size_t i = size_t(renamed_); i < pending_.size(); ++i) {
            QFile::remove(pending_[i].temporary);
        }
        pending_.clear();
        renamed_ = 0;
    }

    QString folder_;
    QDir dir_;
    QSet<QString> links_;
    long nameMax_;  // the longest file name the folder takes, in bytes; -1 when unknown
    QString prefix_;
    std::vector<Pending> pending_;
    qsizetype renamed_ = 0;
};

}  // namespace

QString removeFileNameCharacters(const QString& displayName) {
    QString cleaned;
    cleaned.reserve(displayName.size());
    for (const QChar c : displayName) {
        switch (c.unicode()) {
            case u'/':
            case u'\\':
            case u'*':
            case u':':
            case u'?':
            case u'<':
            case u'>':
            case u'|':
            case u'\0':
                break;
            default:
                cleaned.append(c);
        }
    }
    return cleaned;
}

QStringList contactFileNames(std::span<const ContactEntry> contacts) {
    QStringList names;
    names.reserve(qsizetype(contacts.size()));
    // Compared case-folded, so that no two files collide on a file system that ignores case.
    QSet<QString> taken;
    taken.reserve(qsizetype(contacts.size()));
    QHash<QString, int> nextNumber;
    for (const ContactEntry& contact : contacts) {
        QString name = removeFileNameCharacters(contact.Text);
        if (name.isEmpty()) {
            // A file named ".vcf" would be hidden.
            name = QStringLiteral("unnamed");
        }
        QString key = name.toCaseFolded();
        if (taken.contains(key)) {
            int& number = nextNumber[key];
            number = std::max(number, 2);
            QString numbered;
            do {
                numbered = QStringLiteral(" (%1)").arg(number++);
            } while (taken.contains(key + numbered));
            name += numbered;
            key += numbered;
        }
        taken.insert(key);
        names << name + QStringLiteral(".vcf");
    }
    return names;
}

QByteArray encodeSavedFile(const CardBytes& payload, SaveEncoding encoding) {
    QByteArray bytes;
    bytes.reserve((encoding == SaveEncoding::Utf8 ? 3 : 1) * payload.size() + 5);
    if (encoding == SaveEncoding::Utf8) {
        bytes.append(kUtf8Mark);
    }
    appendEncoded(bytes, payload, encoding);
    bytes.append(kLineEnd);
    return bytes;
}

QByteArray encodeSavedFile(const CardBytes& payload, const SaveRequest& request,
                           Reporter& reporter) {
    if (!request.version)
        return encodeSavedFile(payload, request.encoding);
    QByteArray bytes = convertCard(payload, *request.version, reporter).bytes();
    bytes.append(kLineEnd);
    return bytes;
}

FolderSync replaceFolderSync(FolderSync sync) {
    return std::exchange(folderSync, sync);
}

AnsiLoss findAnsiLoss(std::span<const ContactEntry> contacts) {
    AnsiLoss loss;
    for (const ContactEntry& contact : contacts) {
        if (convertsToAnsi(contact.card)) {
            continue;
        }
        if (loss.contacts++ == 0) {
            loss.firstName = contact.Text;
        }
    }
    return loss;
}

SaveOutcome SaveContacts(std::span<const ContactEntry> contacts, const SaveRequest& request,
                         Reporter& reporter, const SaveProgress& progress) {
    Guard g(reporter, saveTag());
    SaveOutcome outcome;
    if (g.test(112, [&] { return contacts.empty(); })) {
        return outcome;
    }
    if (request.layout == SaveLayout::OneFile) {
        bool written = false;
        g(114, [&] {
            outcome.stopped = !writeOneFile(contacts, request, progress, reporter);
            written = !outcome.stopped;
        });
        if (written) {
            ++outcome.filesWritten;
        } else if (!outcome.stopped) {
            ++outcome.filesFailed;
        }
        return outcome;
    }
    QStringList names;
    g(116, [&] { names = contactFileNames(contacts); });
    const auto total = qsizetype(contacts.size());
    ContactFileBatch batch(request.target, total);
    std::vector<qsizetype> pendingRows;  // the contact of each file the batch holds
    pendingRows.reserve(size_t(total));
    for (qsizetype row = 0; row < total; ++row) {
        bool written = false;
        g(118, [&] {
            if (row >= names.size()) {
                throw Failure(QStringLiteral("No file name for contact %1").arg(row + 1));
            }
            const bool deferred = batch.write(
                names.at(row), encodeSavedFile(contacts[size_t(row)].card, request, reporter));
            written = true;
            if (deferred) {
                pendingRows.push_back(row);
            } else {
                ++outcome.filesWritten;
            }
        });
        if (!written) {
            ++outcome.filesFailed;
            outcome.failedRows.push_back(row);
        }
        if (progress && !progress(row + 1, total)) {
            outcome.stopped = row + 1 < total;
            break;
        }
    }
    // The files written before a stop are kept, as they would be had each gone to its place
    // at once.
    const qsizetype written = batch.size();
    if (written == 0) {
        return outcome;
    }
    bool durable = false;
    g(120, [&] {
        batch.sync();
        durable = true;
    });
    if (!durable) {
        outcome.filesFailed += written;
        outcome.failedRows.insert(outcome.failedRows.end(), pendingRows.begin(), pendingRows.end());
        return outcome;
    }
    for (size_t next = 0; next < pendingRows.size(); ++next) {
        bool renamed = false;
        g(122, [&] {
            batch.renameNext();
            renamed = true;
        });
        if (renamed) {
            ++outcome.filesWritten;
        } else {
            ++outcome.filesFailed;
            outcome.failedRows.push_back(pendingRows[next]);
        }
    }
    g(124, [&] { batch.syncRenames(); });
    return outcome;
}

}  // namespace pennacle
