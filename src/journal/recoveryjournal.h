#pragma once

#include "journalentry.h"
#include "session/editortab.h"

#include <QDir>
#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

class NoteSession;

// Keeps a copy on disk of every note that is not yet where it belongs, while the app runs, so
// that a crash, a kill or a power cut loses at most about a second of typing. Shortly after a
// change, each such note that changed gets a record in its entry's log: what changed, found by
// comparing the note's pieces with the text recorded last, and its details. Once a log has
// grown past a share of its note, or a change is too large for a record, the whole text is
// written as the entry's new base and the log starts over. Every write happens on a thread of
// the journal's own, in order, from copies that share the note's text; the main thread only
// compares and queues. A note that went blank, or that is now held by its file, leaves the
// journal; so the journal knows, note by note, what a final save that stopped half way had
// already written.
class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    static constexpr auto snapshotDelay = std::chrono::milliseconds(1000);

    RecoveryJournal(NoteSession &session, const QString &folder, QObject *parent = nullptr);
    // Waits for the writes already queued.
    ~RecoveryJournal() override;

    // "Wispen/journal" in the user's XDG state folder.
    static QString defaultFolder();
    // Where entries that cannot be read are kept.
    static QString damagedFolder(const QString &journalFolder);

    // Brings the entries in line with the session now and waits until they are on disk.
    // Entries this run did not write (left by a run whose notes could not be recovered) are
    // never touched.
    void snapshot();
    // What the timer runs: the same, but the writes are only queued. This is all the journal
    // costs the main thread.
    void recordChanges();
    // Waits until every write queued so far is done or has failed.
    void waitForDisk();

    bool isSnapshotPending() const { return m_timer.isActive(); }

private:
    // What this run put on disk for one note, once the queued writes are done.
    struct Written
    {
        JournalEntry details;
        NoteText text;
        qint64 generation = 0;
        qsizetype baseSize = 0;
        qsizetype logBytes = 0;
        // A write failed: the next snapshot writes the whole text again.
        bool needsBase = false;
    };
    struct Disk;

    void noticeSessionChange();
    JournalEntry entryFor(const EditorTab &tab, int order) const;
    void record(const JournalEntry &details, const NoteText &text);
    void writeBase(const JournalEntry &details, const NoteText &text);
    void append(Written &written, const JournalEntry &details, const NoteText &text,
        const NoteText::Change &change);
    void remove(const QUuid &tabId);
    void takeFailures();

    NoteSession &m_session;
    QDir m_folder;
    QTimer m_timer;
    QHash<QUuid, Written> m_written;
    // Entries whose files a removal left behind; tried again while their note stays out.
    QSet<QUuid> m_leaving;
    // Never reused in a run, so no log is ever continued by a base it does not follow.
    qint64 m_nextGeneration = 1;
    std::shared_ptr<Disk> m_disk;
    // Last, so it is destroyed first: its destructor waits for the queued writes.
    QThreadPool m_writer;
};
