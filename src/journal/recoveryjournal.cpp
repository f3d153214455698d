#include "recoveryjournal.h"

#include "autosave/notefilewriter.h"
#include "session/notesession.h"

#include <QFile>
#include <QSet>

namespace {
const QString entrySuffix = QStringLiteral(".entry");
} // namespace

RecoveryJournal::RecoveryJournal(NoteSession &session, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_folder(folder)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(snapshotDelay);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryJournal::snapshot);
    connect(&session, &NoteSession::objectWillChange, this, &RecoveryJournal::noticeSessionChange);
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
    entry.text = tab.cachedText;
    entry.file = tab.openedFileURL;
    entry.fileStamp = tab.fileStamp;
    entry.snapshotAt = QDateTime::currentDateTime();
    return entry;
}

QString RecoveryJournal::entryPath(const QUuid &tabId) const
{
    return m_folder.filePath(tabId.toString(QUuid::WithoutBraces) + entrySuffix);
}

bool RecoveryJournal::write(const JournalEntry &entry)
{
    const auto written = m_written.constFind(entry.tabId);
    if (written != m_written.cend() && written->sameNoteAs(entry))
        return true;
    if (!NoteFileWriter::makePrivateFolder(m_folder.path())
        || !NoteFileWriter::writeAtomically(
            entryPath(entry.tabId), entry.encode(), NoteFileWriter::ownerOnly))
        return false;
    m_written.insert(entry.tabId, entry);
    return true;
}

void RecoveryJournal::snapshot()
{
    m_timer.stop();
    // A write that failed is tried again by the next snapshot; the entry before it, if any,
    // stays meanwhile.
    QSet<QUuid> kept;
    const QList<EditorTab> &tabs = m_session.tabs();
    for (int order = 0; order < tabs.size(); ++order) {
        const EditorTab &tab = tabs.at(order);
        if (!tab.needsSaving())
            continue;
        kept.insert(tab.id);
        write(entryFor(tab, order));
    }
    const QList<UnsavedNote> &unsaved = m_session.unsavedNotes();
    for (int i = 0; i < unsaved.size(); ++i) {
        const NoteToSave &note = unsaved.at(i).note;
        JournalEntry entry;
        entry.tabId = unsaved.at(i).tabId;
        entry.order = int(tabs.size()) + i;
        entry.title = note.preferredTitle.value_or(QString());
        entry.text = note.text;
        entry.file = note.file;
        entry.fileStamp = note.fileStamp;
        entry.snapshotAt = note.now;
        kept.insert(entry.tabId);
        write(entry);
    }
    for (auto it = m_written.begin(); it != m_written.end();) {
        const QString path = entryPath(it.key());
        if (kept.contains(it.key()) || (!QFile::remove(path) && QFile::exists(path)))
            ++it;
        else
            it = m_written.erase(it);
    }
}
