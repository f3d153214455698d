#pragma once

#include "journalentry.h"
#include "session/editortab.h"

#include <QDir>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <chrono>

class NoteSession;

// Keeps a copy of every note on disk while the app runs, so that a crash, a kill or a power
// cut loses at most about a second of typing. Shortly after a change, every tab whose note
// changed since its last snapshot is written to its own entry; tabs that went blank or were
// closed leave the journal. A normal final save empties it.
class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    static constexpr auto snapshotDelay = std::chrono::milliseconds(1000);

    RecoveryJournal(NoteSession &session, const QString &folder, QObject *parent = nullptr);

    // "Wispen/journal" in the user's XDG state folder.
    static QString defaultFolder();
    // Where entries that cannot be read are kept.
    static QString damagedFolder(const QString &journalFolder);

    void snapshot();
    // Every note has just been written where it belongs: the journal holds nothing further.
    void clear();

    bool isSnapshotPending() const { return m_timer.isActive(); }

private:
    void noticeSessionChange();
    void captureFileStamps();
    JournalEntry entryFor(const EditorTab &tab, int order) const;
    QString entryPath(const QUuid &tabId) const;

    NoteSession &m_session;
    QDir m_folder;
    QTimer m_timer;
    bool m_stampCheckQueued = false;
    QHash<QUuid, JournalEntry> m_written;
    // Per tab, the file it is bound to and that file's stamp when it was loaded or written.
    QHash<QUuid, std::pair<QUrl, std::optional<FileStamp>>> m_stamps;
};
