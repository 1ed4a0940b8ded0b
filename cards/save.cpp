#include "cards/save.h"

#include "cards/ansiencoding.h"
#include "cards/textfile.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <QSet>

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

void appendEncoded(QByteArray& out, const QString& text, SaveEncoding encoding) {
    if (encoding == SaveEncoding::Ansi) {
        appendAnsi(out, text);
    } else {
        out.append(EncodeUtf8(text));
    }
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
bool writeOneFile(const ContactList& contacts, const SaveRequest& request,
                  const SaveProgress& progress) {
    AtomicFile file(request.target);
    QByteArray buffer;
    buffer.reserve(kFlushSize + kFlushSize / 4);
    if (request.encoding == SaveEncoding::Utf8) {
        buffer.append(kUtf8Mark);
    }
    const qsizetype total = contacts.count();
    for (qsizetype row = 0; row < total; ++row) {
        // Joined by CR LF with CR LF after the last: every card is followed by one CR LF.
        appendEncoded(buffer, contacts.at(row).card, request.encoding);
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

void writeContactFile(const QString& path, const QString& card, SaveEncoding encoding) {
    AtomicFile file(path);
    file.write(encodeSavedFile(card, encoding));
    file.commit();
}

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

QStringList contactFileNames(const ContactList& contacts) {
    QStringList names;
    names.reserve(contacts.count());
    // Compared case-folded, so that no two files collide on a file system that ignores case.
    QSet<QString> taken;
    taken.reserve(contacts.count());
    QHash<QString, int> nextNumber;
    for (qsizetype row = 0; row < contacts.count(); ++row) {
        QString name = removeFileNameCharacters(contacts.at(row).Text);
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

QByteArray encodeSavedFile(const QString& payload, SaveEncoding encoding) {
    QByteArray bytes;
    bytes.reserve((encoding == SaveEncoding::Utf8 ? 3 : 1) * payload.size() + 5);
    if (encoding == SaveEncoding::Utf8) {
        bytes.append(kUtf8Mark);
    }
    appendEncoded(bytes, payload, encoding);
    bytes.append(kLineEnd);
    return bytes;
}

AnsiLoss findAnsiLoss(const ContactList& contacts) {
    AnsiLoss loss;
    for (qsizetype row = 0; row < contacts.count(); ++row) {
        const ContactEntry& contact = contacts.at(row);
        if (fitsAnsi(contact.card)) {
            continue;
        }
        if (loss.contacts++ == 0) {
            loss.firstName = contact.Text;
        }
    }
    return loss;
}

SaveOutcome SaveContacts(const ContactList& contacts, const SaveRequest& request,
                         Reporter& reporter, const SaveProgress& progress) {
    Guard g(reporter, saveTag());
    SaveOutcome outcome;
    if (g.test(112, [&] { return contacts.isEmpty(); })) {
        return outcome;
    }
    if (request.layout == SaveLayout::OneFile) {
        bool written = false;
        g(114, [&] {
            outcome.stopped = !writeOneFile(contacts, request, progress);
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
    const QDir folder(request.target);
    const qsizetype total = contacts.count();
    for (qsizetype row = 0; row < total; ++row) {
        bool written = false;
        g(118, [&] {
            if (row >= names.size()) {
                throw Failure(QStringLiteral("No file name for contact %1").arg(row + 1));
            }
            writeContactFile(folder.filePath(names.at(row)), contacts.at(row).card,
                             request.encoding);
            written = true;
        });
        ++(written ? outcome.filesWritten : outcome.filesFailed);
        if (progress && !progress(row + 1, total)) {
            outcome.stopped = row + 1 < total;
            break;
        }
    }
    return outcome;
}

}  // namespace pennacle
