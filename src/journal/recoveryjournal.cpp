#include "recoveryjournal.h"

#include "autosave/notefilewriter.h"
#include "autosave/writefaults.h"
#include "journallog.h"
#include "session/notesession.h"

#include <QFile>
#include <QMutex>
#include <QSet>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString entrySuffix = QStringLiteral(".entry");

// A change longer than this goes into a new base rather than a record.
constexpr qsizetype recordedAtMost = 64 * 1024;
// A log is folded into a new base once it holds more bytes than this, or than a quarter of
// the note's characters, whichever is more: replaying it stays cheap, rewriting stays rare.
constexpr qsizetype logFloor = 256 * 1024;
// What a record of details and the frames add to a change, about.
constexpr qsizetype recordOverhead = 512;

QString stemOf(const QUuid &tabId)
{
    return tabId.toString(QUuid::WithoutBraces);
}

// Appends bytes to the file at path and waits until they are on disk. A write that fails half
// way is cut off again, so the log never ends in a torn record that a later one follows.
bool appendDurably(const QString &path, const QByteArray &bytes)
{
    if (WriteFaults::refuses(path))
        return false;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const off_t start = ::lseek(fd, 0, SEEK_END);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    const bool isOnDisk = written == bytes.size() && ::fdatasync(fd) == 0;
    if (!isOnDisk && start >= 0 && ::ftruncate(fd, start) != 0)
        qWarning("The journal could not cut off a record it failed to write");
    ::close(fd);
    return isOnDisk;
}

} // namespace

// What the writing thread and the main thread share: the folder, and what failed.
struct RecoveryJournal::Disk
{
    QString folder;
    QMutex mutex;
    // Generations that lost a write: nothing more is appended to their logs.
    QSet<qint64> broken;
    // Entries whose next snapshot writes a whole base.
    QSet<QUuid> failed;
    QSet<QUuid> notRemoved;

    QString path(const QString &name) const { return QDir(folder).filePath(name); }

    void fail(const QUuid &tabId, qint64 generation)
    {
        const QMutexLocker lock(&mutex);
        broken.insert(generation);
        failed.insert(tabId);
    }

    bool isBroken(qint64 generation)
    {
        const QMutexLocker lock(&mutex);
        return broken.contains(generation);
    }

    // Removes the logs of tabId but the one of keep; false when one stays behind.
    bool removeLogs(const QUuid &tabId, std::optional<qint64> keep)
    {
        bool removed = true;
        const QString stem = stemOf(tabId);
        const QStringList logs
            = QDir(folder).entryList({ stem + QStringLiteral(".*.log") }, QDir::Files);
        for (const QString &name : logs) {
            const auto parsed = JournalLog::parseFileName(name);
            if (!parsed || parsed->first != stem || parsed->second == keep)
                continue;
            removed &= QFile::remove(path(name)) || !QFile::exists(path(name));
        }
        return removed;
    }
};

RecoveryJournal::RecoveryJournal(NoteSession &session, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_folder(folder)
    , m_disk(std::make_shared<Disk>())
{
    m_disk->folder = folder;
    // One thread, so the writes reach the disk in the order they were queued.
    m_writer.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(snapshotDelay);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryJournal::recordChanges);
    connect(&session, &NoteSession::objectWillChange, this, &RecoveryJournal::noticeSessionChange);
}

RecoveryJournal::~RecoveryJournal()
{
    waitForDisk();
}

QString RecoveryJournal::defaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Wispen/journal");
}

QString RecoveryJournal::damagedFolder(const QString &journalFolder)
{
    return journalFolder + QStringLiteral("-damaged");
}

void RecoveryJournal::noticeSessionChange()
{
    // The snapshot waits for the timer, which a burst of typing does not push back, so a long
    // burst is still saved every second.
    if (!m_timer.isActive())
        m_timer.start();
}

JournalEntry RecoveryJournal::entryFor(const EditorTab &tab, int order) const
{
    JournalEntry entry;
    entry.tabId = tab.id;
    entry.order = order;
    entry.wasActive = tab.id == m_session.selectedTabId();
    entry.title = m_session.title(tab);
    entry.file = tab.openedFileURL;
    entry.fileStamp = tab.fileStamp;
    entry.snapshotAt = QDateTime::currentDateTime();
    return entry;
}

void RecoveryJournal::writeBase(const JournalEntry &details, const NoteText &text)
{
    const qint64 generation = m_nextGeneration++;
    m_writer.start(
        [disk = m_disk, tabId = details.tabId, header = details.details(), generation, text] {
            const QString path = disk->path(stemOf(tabId) + entrySuffix);
            if (!NoteFileWriter::makePrivateFolder(disk->folder)
                || !NoteFileWriter::writeAtomically(path,
                    JournalEntry::encode(header, generation, text.toUtf8()),
                    NoteFileWriter::ownerOnly)) {
                disk->fail(tabId, generation);
                return;
            }
            // The base holds all that older logs said. One that cannot be removed now is never
            // replayed, and goes with the entry.
            disk->removeLogs(tabId, generation);
        });
    m_written.insert(details.tabId, Written { details, text, generation, text.size(), 0, false });
}

void RecoveryJournal::append(Written &written, const JournalEntry &details, const NoteText &text,
    const NoteText::Change &change)
{
    const QByteArray detailsRecord = JournalLog::detailsRecord(details);
    m_writer.start([disk = m_disk, tabId = details.tabId, generation = written.generation,
                       detailsRecord, text, change] {
        if (disk->isBroken(generation))
            return;
        QByteArray records = detailsRecord;
        if (change.removed > 0 || change.added > 0)
            records += JournalLog::editRecord(change.position, change.removed,
                text.mid(change.position, change.added), text.size());
        if (!appendDurably(disk->path(JournalLog::fileName(stemOf(tabId), generation)), records))
            disk->fail(tabId, generation);
    });
    written.details = details;
    written.text = text;
    written.logBytes += detailsRecord.size() + recordOverhead + change.added * 2;
}

void RecoveryJournal::record(const JournalEntry &details, const NoteText &text)
{
    const auto written = m_written.find(details.tabId);
    if (written == m_written.end() || written->needsBase) {
        writeBase(details, text);
        return;
    }
    const NoteText::Change change = NoteText::changeBetween(written->text, text);
    const bool textChanged = change.removed > 0 || change.added > 0;
    if (!textChanged && details.sameDetailsAs(written->details))
        return;
    if (change.added > recordedAtMost
        || written->logBytes > std::max<qsizetype>(logFloor, written->baseSize / 4))
        writeBase(details, text);
    else
        append(*written, details, text, change);
}

void RecoveryJournal::remove(const QUuid &tabId)
{
    m_writer.start([disk = m_disk, tabId] {
        // The base first: logs without it are never replayed onto anything.
        const QString entry = disk->path(stemOf(tabId) + entrySuffix);
        const bool removed = (QFile::remove(entry) || !QFile::exists(entry))
            && disk->removeLogs(tabId, std::nullopt);
        if (!removed) {
            const QMutexLocker lock(&disk->mutex);
            disk->notRemoved.insert(tabId);
        }
    });
}

void RecoveryJournal::takeFailures()
{
    const QMutexLocker lock(&m_disk->mutex);
    for (const QUuid &tabId : std::as_const(m_disk->failed)) {
        if (const auto written = m_written.find(tabId); written != m_written.end())
            written->needsBase = true;
    }
    m_disk->failed.clear();
    m_leaving.unite(m_disk->notRemoved);
    m_disk->notRemoved.clear();
}

void RecoveryJournal::recordChanges()
{
    m_timer.stop();
    // A write that failed is tried again now, as a whole base; the files before it stay
    // meanwhile.
    takeFailures();
    QSet<QUuid> kept;
    const QList<EditorTab> &tabs = m_session.tabs();
    for (int order = 0; order < tabs.size(); ++order) {
        const EditorTab &tab = tabs.at(order);
        if (!tab.needsSaving())
            continue;
        kept.insert(tab.id);
        record(entryFor(tab, order), tab.cachedText);
    }
    const QList<UnsavedNote> &unsaved = m_session.unsavedNotes();
    for (int i = 0; i < unsaved.size(); ++i) {
        const NoteToSave &note = unsaved.at(i).note;
        JournalEntry entry;
        entry.tabId = unsaved.at(i).tabId;
        entry.order = int(tabs.size()) + i;
        entry.title = note.preferredTitle.value_or(QString());
        entry.file = note.file;
        entry.fileStamp = note.fileStamp;
        entry.snapshotAt = note.now;
        kept.insert(entry.tabId);
        record(entry, NoteText(note.text));
    }
    for (auto it = m_written.begin(); it != m_written.end();) {
        if (kept.contains(it.key())) {
            ++it;
            continue;
        }
        remove(it.key());
        it = m_written.erase(it);
    }
    for (auto it = m_leaving.begin(); it != m_leaving.end();) {
        if (!kept.contains(*it))
            remove(*it);
        it = m_leaving.erase(it);
    }
}

void RecoveryJournal::waitForDisk()
{
    m_writer.waitForDone();
}

void RecoveryJournal::snapshot()
{
    recordChanges();
    waitForDisk();
}
