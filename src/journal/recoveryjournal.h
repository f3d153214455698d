#pragma once

#include "journalentry.h"
#include "session/editortab.h"

#include <QDir>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <chrono>

class NoteSession;

// Keeps a copy on disk of every note that is not yet where it belongs, while the app runs, so
// that a crash, a kill or a power cut loses at most about a second of typing. Shortly after a
// change, each such note whose text changed since its last snapshot is written to its own
// entry: every tab that needs saving, and every closed tab whose save failed. A note that
// went blank, or that is now held by its file, leaves the journal; so the journal knows, note
// by note, what a final save that stopped half way had already written.
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

    // Brings the entries in line with the session now. Entries this run did not write (left
    // by a run whose notes could not be recovered) are never touched.
    void snapshot();

    bool isSnapshotPending() const { return m_timer.isActive(); }

private:
    void noticeSessionChange();
    JournalEntry entryFor(const EditorTab &tab, int order) const;
    QString entryPath(const QUuid &tabId) const;
    bool write(const JournalEntry &entry);

    NoteSession &m_session;
    QDir m_folder;
    QTimer m_timer;
    QHash<QUuid, JournalEntry> m_written;
};
