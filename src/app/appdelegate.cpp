#include "appdelegate.h"

#include "autosave/autosavemanager.h"
#include "autosave/whitespace.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "shutdownwatcher.h"
#include "unixsignalbridge.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QSessionManager>

AppDelegate::AppDelegate(NoteSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
}

void AppDelegate::finishLaunching()
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::finalSave);
    auto *bridge = new UnixSignalBridge(this);
    connect(bridge, &UnixSignalBridge::terminationRequested, qApp, &QCoreApplication::quit);
    auto *shutdown = new ShutdownWatcher(this);
    connect(shutdown, &ShutdownWatcher::shutdownImminent, this, &AppDelegate::finalSave);
#if QT_CONFIG(sessionmanager)
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager &) { finalSave(); });
#endif
}

void AppDelegate::finalSave()
{
    m_session.flushActiveTabFromTextView();
    const QUuid activeId = m_session.selectedTabId();
    bool allWritten = saveOnce(
        activeId, { m_session.currentText(), m_session.activeTabOpenedFileURL(), std::nullopt });
    // The other tabs' notes would be gone with the process; they are saved as closing would.
    const QList<EditorTab> tabs = m_session.tabs();
    for (const EditorTab &tab : tabs) {
        if (tab.id != activeId)
            allWritten
                &= saveOnce(tab.id, { tab.cachedText, tab.openedFileURL, m_session.title(tab) });
    }
    // A note that could be written nowhere stays in the journal for the next start.
    if (m_journal && allWritten)
        m_journal->clear();
}

bool AppDelegate::saveOnce(const QUuid &tabId, const SaveRequest &request)
{
    // A date-named note saved at power-off would get a second file at quit a minute later.
    const auto previous = m_saved.constFind(tabId);
    if (previous != m_saved.cend() && *previous == request)
        return true;
    const QString savedTo = AutoSaveManager::saveIfNeeded(
        request.text, request.openedFileURL, request.preferredTitle);
    if (savedTo.isEmpty())
        return Whitespace::isBlank(request.text);
    m_saved.insert(tabId, request);
    return true;
}

void AppDelegate::openFiles(const QList<QUrl> &urls)
{
    m_session.loadFiles(urls);
}

void AppDelegate::openFilesFromDialog(QWidget *parent)
{
    const QList<QUrl> urls = QFileDialog::getOpenFileUrls(parent, QString(), QUrl(), QString(),
        nullptr, QFileDialog::Options(), { QStringLiteral("file") });
    openFiles(urls);
}
