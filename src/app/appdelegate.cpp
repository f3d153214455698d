#include "appdelegate.h"

#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "shutdownwatcher.h"
#include "unixsignalbridge.h"

#include <QFileDialog>
#include <QFileInfo>
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
    Q_EMIT finalSaveStarted();
    m_session.saveAll();
    // The journal lets go of every note that is now on disk, and keeps the rest.
    if (m_journal)
        m_journal->snapshot();
}

void AppDelegate::openFiles(const QList<QUrl> &urls)
{
    // About half a second of loading and laying out, measured.
    constexpr qint64 busyFrom = qint64(8) << 20;
    const bool isLarge = std::any_of(urls.cbegin(), urls.cend(),
        [](const QUrl &url) { return QFileInfo(url.toLocalFile()).size() >= busyFrom; });
    if (isLarge)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_session.loadFiles(urls);
    if (isLarge)
        QGuiApplication::restoreOverrideCursor();
}
void AppDelegate::openFilesFromDialog(QWidget *parent)
{
    const QList<QUrl> urls = QFileDialog::getOpenFileUrls(parent, QString(), QUrl(), QString(),
        nullptr, QFileDialog::Options(), { QStringLiteral("file") });
    openFiles(urls);
}
