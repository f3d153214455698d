#include "journalrecovery.h"

#include "autosave/autosavemanager.h"
#include "autosave/notefilewriter.h"
#include "journalentry.h"
#include "recoveryjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace JournalRecovery {

namespace {

// Moves a file into folder under a name not yet taken there.
void moveAside(const QString &path, const QString &folder)
{
    if (!QDir().mkpath(folder))
        return;
    const QString name = QFileInfo(path).fileName();
    QString target = QDir(folder).filePath(name);
    for (int copy = 2; QFileInfo::exists(target); ++copy)
        target = QDir(folder).filePath(QStringLiteral("%1.%2").arg(name).arg(copy));
    QFile::rename(path, target);
}

bool fileChangedSinceSnapshot(const JournalEntry &entry)
{
    const auto now = FileStamp::of(entry.file->toLocalFile());
    return !now || !entry.fileStamp || *now != *entry.fileStamp;
}

void writeBesideChangedFile(const JournalEntry &entry)
{
    const QByteArray bytes = entry.text.toUtf8();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString name
        = QFileInfo(entry.file->toLocalFile()).fileName() + QStringLiteral(" (recovered)");
    if (NoteFileWriter::writeNewFile(desktop, name, bytes))
        return;
    NoteFileWriter::writeNewFile(AutoSaveManager::recoveredFolder(), name, bytes);
}

void recoverEntry(const JournalEntry &entry)
{
    if (entry.file && fileChangedSinceSnapshot(entry)) {
        writeBesideChangedFile(entry);
        return;
    }
    // The final save writes the active note without its title, every other one with it.
    const std::optional<QString> title
        = entry.wasActive ? std::nullopt : std::optional<QString>(entry.title);
    AutoSaveManager::saveIfNeeded(entry.text, entry.file, title, entry.snapshotAt);
}

} // namespace

int recover(const QString &journalFolder)
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
    for (const auto &[entry, path] : entries) {
        recoverEntry(entry);
        QFile::remove(path);
    }
    return int(entries.size());
}

} // namespace JournalRecovery
