#include "journalrecovery.h"

#include "autosave/autosavemanager.h"
#include "autosave/notefilewriter.h"
#include "journalentry.h"
#include "journallog.h"
#include "recoveryjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMultiHash>
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

struct Found
{
    JournalEntry entry;
    QString path;
    QString stem;
    QStringList logs;
    // A log that ended in a damaged record: kept aside once the note is written.
    QString damagedLog;
};

// The entry as its log leaves it. Logs of other generations are stale: a newer base holds
// what they said.
void replayLog(Found &found, const QStringList &logs)
{
    found.logs = logs;
    if (found.entry.generation == 0)
        return;
    const QString current = QDir(QFileInfo(found.path).path())
                                .filePath(JournalLog::fileName(found.stem, found.entry.generation));
    QFile log(current);
    if (!logs.contains(current) || !log.open(QIODevice::ReadOnly))
        return;
    if (!JournalLog::replay(log.readAll(), found.entry).isWhole)
        found.damagedLog = current;
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
    const QString aside = RecoveryJournal::damagedFolder(journalFolder);
    // Each entry with the logs of its stem; a log of no readable entry is moved aside.
    QMultiHash<QString, QString> logs;
    std::vector<Found> entries;
    QStringList unreadable;
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (const auto log = JournalLog::parseFileName(info.fileName())) {
            logs.insert(log->first, info.filePath());
            continue;
        }
        QFile file(info.filePath());
        std::optional<JournalEntry> entry;
        if (info.suffix() == u"entry" && file.open(QIODevice::ReadOnly))
            entry = JournalEntry::decode(file.readAll());
        if (entry)
            entries.push_back({ std::move(*entry), info.filePath(), info.completeBaseName() });
        else
            unreadable.append(info.filePath());
    }
    for (const QString &path : std::as_const(unreadable)) {
        moveAside(path, aside);
        for (const QString &log : logs.values(QFileInfo(path).completeBaseName()))
            moveAside(log, aside);
        logs.remove(QFileInfo(path).completeBaseName());
    }
    for (Found &found : entries)
        replayLog(found, logs.values(found.stem));
    // As the final save would: the active note first, then the others in tab order.
    std::sort(entries.begin(), entries.end(), [](const Found &a, const Found &b) {
        return std::pair(!a.entry.wasActive, a.entry.order)
            < std::pair(!b.entry.wasActive, b.entry.order);
    });
    Result result;
    for (const Found &found : entries) {
        const NoteToSave note = noteOf(found.entry);
        const SaveOutcome outcome = AutoSaveManager::save(note);
        if (const auto notice = SaveNotice::about(note, outcome))
            result.notices.append(*notice);
        logs.remove(found.stem);
        if (!outcome.isKept()) {
            ++result.keptForLater;
            continue;
        }
        // Removed only now that the note is on disk: a kill before this line finds the same
        // file holding the same note next time, and writes no second copy. The base goes
        // first, so that a kill half way never leaves it without the log it needs.
        QFile::remove(found.path);
        for (const QString &log : found.logs) {
            if (log == found.damagedLog)
                moveAside(log, aside);
            else
                QFile::remove(log);
        }
        ++result.written;
    }
    for (const QString &orphan : std::as_const(logs))
        moveAside(orphan, aside);
    return result;
}

std::optional<JournalEntry> readEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<JournalEntry> entry = JournalEntry::decode(file.readAll());
    if (!entry)
        return std::nullopt;
    const QFileInfo info(path);
    Found found { std::move(*entry), path, info.completeBaseName(), {}, {} };
    if (found.entry.generation > 0)
        replayLog(found,
            { info.dir().filePath(JournalLog::fileName(found.stem, found.entry.generation)) });
    return std::move(found.entry);
}

} // namespace JournalRecovery
