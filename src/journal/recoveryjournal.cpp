#include "recoveryjournal.h"

#include "autosave/notefilewriter.h"
#include "autosave/whitespace.h"
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
    captureFileStamps();
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
    // The change has not happened yet: look at it on the next turn of the event loop. The
    // snapshot itself waits for the timer, which a burst of typing does not push back, so a
    // long burst is still saved every second.
    if (!m_stampCheckQueued) {
        m_stampCheckQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_stampCheckQueued = false;
            captureFileStamps();
        });
    }
    if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryJournal::captureFileStamps()
{
    QHash<QUuid, std::pair<QUrl, std::optional<FileStamp>>> stamps;
    for (const EditorTab &tab : m_session.tabs()) {
        if (!tab.openedFileURL)
            continue;
        const auto known = m_stamps.constFind(tab.id);
        if (known != m_stamps.cend() && known->first == *tab.openedFileURL)
            stamps.insert(tab.id, *known);
        else
            stamps.insert(
                tab.id, { *tab.openedFileURL, FileStamp::of(tab.openedFileURL->toLocalFile()) });
    }
    m_stamps = std::move(stamps);
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
    if (tab.openedFileURL) {
        const auto stamp = m_stamps.constFind(tab.id);
        if (stamp != m_stamps.cend() && stamp->first == *tab.openedFileURL)
            entry.fileStamp = stamp->second;
    }
    entry.snapshotAt = QDateTime::currentDateTime();
    return entry;
}

QString RecoveryJournal::entryPath(const QUuid &tabId) const
{
    return m_folder.filePath(tabId.toString(QUuid::WithoutBraces) + entrySuffix);
}

void RecoveryJournal::snapshot()
{
    m_timer.stop();
    captureFileStamps();
    QSet<QUuid> kept;
    const QList<EditorTab> &tabs = m_session.tabs();
    for (int order = 0; order < tabs.size(); ++order) {
        const EditorTab &tab = tabs.at(order);
        if (Whitespace::isBlank(tab.cachedText))
            continue;
        kept.insert(tab.id);
        const JournalEntry entry = entryFor(tab, order);
        const auto written = m_written.constFind(tab.id);
        if (written != m_written.cend() && written->sameNoteAs(entry))
            continue;
        if (m_folder.mkpath(QStringLiteral("."))
            && NoteFileWriter::writeAtomically(entryPath(tab.id), entry.encode()))
            m_written.insert(tab.id, entry);
    }
    for (auto it = m_written.begin(); it != m_written.end();) {
        if (kept.contains(it.key())) {
            ++it;
            continue;
        }
        QFile::remove(entryPath(it.key()));
        it = m_written.erase(it);
    }
}

void RecoveryJournal::clear()
{
    m_timer.stop();
    const QStringList entries = m_folder.entryList({ QLatin1Char('*') + entrySuffix }, QDir::Files);
    for (const QString &name : entries)
        m_folder.remove(name);
    // The final save may have written the tabs' own files: their stamps start afresh, and
    // the notes as they stand now need no entry until they change again.
    m_stamps.clear();
    captureFileStamps();
    m_written.clear();
    const QList<EditorTab> &tabs = m_session.tabs();
    for (int order = 0; order < tabs.size(); ++order) {
        if (!Whitespace::isBlank(tabs.at(order).cachedText))
            m_written.insert(tabs.at(order).id, entryFor(tabs.at(order), order));
    }
}
