#include "journalrecovery.h"

#include "autosave/autosavemanager.h"
#include "autosave/notefilewriter.h"
#include "journalentry.h"
#include "recoveryjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace JournalRecovery {

namespace {

// Moves a file into folder under a name not yet taken there.
void moveAside(const QString &path, const QString &folder)
{
    if (!NoteFileWriter::makePrivateFolder(folder))
        return;
    const QString name = QFileInfo(path).fileName();
    QString target = QDir(folder).filePath(name);
    for (int copy = 2; QFileInfo::exists(target); ++copy)
        target = QDir(folder).filePath(QStringLiteral("%1.%2").arg(name).arg(copy));
    QFile::rename(path, target);
}

NoteToSave noteOf(const JournalEntry &entry)
{
    NoteToSave note;
    note.text = entry.text;
    note.file = entry.file;
    note.fileStamp = entry.fileStamp;
    note.isEdited = true;
    // The final save writes the active note without its title, every other one with it.
    if (!entry.wasActive)
        note.preferredTitle = entry.title;
    // The date name is the snapshot's, so a second try finds the first one's file.
    note.now = entry.snapshotAt;
    return note;
}

} // namespace

Result recover(const QString &journalFolder)
{
    const QDir folder(journalFolder);
    std::vector<std::pair<JournalEntry, QString>> entries;
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(info.filePath());
        std::optional<JournalEntry> entry;
        if (info.suffix() == u"entry" && file.open(QIODevice::ReadOnly))
            entry = JournalEntry::decode(file.readAll());
        if (entry)
            entries.emplace_back(std::move(*entry), info.filePath());
        else
            moveAside(info.filePath(), RecoveryJournal::damagedFolder(journalFolder));
    }
    // As the final save would: the active note first, then the others in tab order.
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return std::pair(!a.first.wasActive, a.first.order)
            < std::pair(!b.first.wasActive, b.first.order);
    });
    Result result;
    for (const auto &[entry, path] : entries) {
        const NoteToSave note = noteOf(entry);
        const SaveOutcome outcome = AutoSaveManager::save(note);
        if (const auto notice = SaveNotice::about(note, outcome))
            result.notices.append(*notice);
        if (!outcome.isKept()) {
            ++result.keptForLater;
            continue;
        }
        // Removed only now that the note is on disk: a kill before this line finds the same
        // file holding the same note next time, and writes no second copy.
        QFile::remove(path);
        ++result.written;
    }
    return result;
}

} // namespace JournalRecovery
