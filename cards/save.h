#pragma once

#include "cards/convert.h"
#include "core/contactentry.h"
#include "core/guard.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace pennacle {

enum class SaveLayout {
    OneFile,      // all contacts into one file ("Save all contacts to one VCF")
    EachContact,  // one file per contact, named after it ("Save each contact to separate VCF")
};

enum class SaveEncoding {
    Ansi,  // Windows-1252, "?" for a character it lacks
    Utf8,  // with the mark EF BB BF
};

struct SaveRequest {
    SaveLayout layout = SaveLayout::OneFile;
    SaveEncoding encoding = SaveEncoding::Ansi;
    // The file for OneFile (used exactly as given, no extension added); the folder for
    // EachContact.
    QString target;
    // The version every card is written in, in UTF-8 without a mark (the encoding above is
    // not used then); none: each card as it was read.
    std::optional<CardVersion> version = std::nullopt;
};

// Called after each card (OneFile) or each contact's file (EachContact) with the number done
// so far and the total. Returning false stops the save: no further file is written, and a
// one-file save that is not complete leaves any earlier file at its path untouched.
using SaveProgress = std::function<bool(qsizetype done, qsizetype total)>;

struct SaveOutcome {
    qsizetype filesWritten = 0;
    qsizetype filesFailed = 0;
    bool stopped = false;  // the progress callback asked to stop
    // The per-contact layout's contacts whose files failed, in the order of their reports.
    std::vector<qsizetype> failedRows;
};

// The display name without the eight characters that file names cannot hold:
// / \ * : ? < > |, and without NUL, at which the system would cut the name short.
QString removeFileNameCharacters(const QString& displayName);

// The file names (without folder) of the per-contact layout, one per row in list order:
// the cleaned name and ".vcf"; a name that cleans to nothing is "unnamed"; a name already
// taken in this save (compared without regard to case) gets " (2)", " (3)", ... before ".vcf".
QStringList contactFileNames(std::span<const ContactEntry> contacts);

// The bytes of one saved file: for UTF-8 the mark, then the card in the encoding (its own
// bytes when it is in that encoding already), then CR LF.
QByteArray encodeSavedFile(const CardBytes& payload, SaveEncoding encoding);
// The same for a save that may write every card in one version (see SaveRequest::version):
// then the card converted, in UTF-8 without the mark, then CR LF.
QByteArray encodeSavedFile(const CardBytes& payload, const SaveRequest& request,
                           Reporter& reporter);

// The contacts whose cards hold bytes that an ANSI save cannot keep: characters that the code
// page lacks, which it writes as "?", or bytes that are no UTF-8 in a UTF-8 card.
struct AnsiLoss {
    qsizetype contacts = 0;
    QString firstName;  // the display name of the first of them, in list order
};
AnsiLoss findAnsiLoss(std::span<const ContactEntry> contacts);

// Writes the cards of all contacts, exactly as the list holds them (converted only when the
// save's encoding is not theirs), as "Save As VCF" does: one file with the cards joined by CR LF,
// or one file per contact in the target folder. Every file is written to a temporary file beside it
// and moved over its target only when complete and on disk, so a failure never leaves a
// half-written file. The per-contact layout brings its whole batch to disk with one folder sync
// before the first rename and one after the last; when the first fails, no target is replaced.
// Failures are reported
// ("in Pennacle2021/08/31.Form1.PushButton1_Click ") and the save goes on with the next
// contact. An empty list writes nothing.
SaveOutcome SaveContacts(std::span<const ContactEntry> contacts, const SaveRequest& request,
                         Reporter& reporter, const SaveProgress& progress = {});

// Brings what was written into a folder to disk (its files and its entries); throws Failure.
using FolderSync = void (*)(const QString& folder);
// Replaces the folder sync of the per-contact layout and returns the one it replaced: a seam
// for tests of a failing or watched sync.
FolderSync replaceFolderSync(FolderSync sync);

}  // namespace pennacle
