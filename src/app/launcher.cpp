#include "launcher.h"

#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/filedropfilter.h"
#include "app/instancechannel.h"
#include "app/mainwindow.h"
#include "app/noticecenter.h"
#include "app/wispenapp.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "journal/journalrecovery.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "tabs/contentview.h"

#include <QApplication>
#include <QDir>
#include <memory>

namespace Launcher {

namespace {

void bringToFront(QWidget *window)
{
    window->show();
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
}

// Only the one Wispen of the user keeps a journal. A journal left with entries means the last
// run ended without its final save: that save is completed here, before the window appears.
std::unique_ptr<RecoveryJournal> keepJournal(const InstanceChannel &instance, NoteSession &session,
    AppDelegate &delegate, QList<SaveNotice> &notices)
{
    if (!instance.ownsInstance())
        return nullptr;
    const QString folder = RecoveryJournal::defaultFolder();
    notices = JournalRecovery::recover(folder).notices;
    auto journal = std::make_unique<RecoveryJournal>(session, folder);
    delegate.setJournal(journal.get());
    return journal;
}

void openFilesFromElsewhere(
    InstanceChannel &instance, FileDropFilter &drops, WispenApp &scene, AppDelegate &delegate)
{
    QObject::connect(&instance, &InstanceChannel::filesRequested, &delegate,
        [&delegate, &scene](const QList<QUrl> &requested) {
            delegate.openFiles(requested);
            bringToFront(scene.window());
        });
    drops.watch(scene.window());
    drops.watch(scene.window()->content()->editor()->textView()->viewport());
    // Opened after the drop has finished, outside the drag's own event handling.
    QObject::connect(&drops, &FileDropFilter::filesDropped, &delegate, &AppDelegate::openFiles,
        Qt::QueuedConnection);
}

} // namespace

int run(int &argc, char **argv, const ShownHandler &onShown)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Wispen"));
    QApplication::setApplicationName(QStringLiteral("Wispen"));
    QGuiApplication::setDesktopFileName(QStringLiteral("wispen"));

    const QList<QUrl> files
        = CommandLine::fileUrls(QApplication::arguments().sliced(1), QDir::currentPath());
    InstanceChannel instance;
    if (instance.start(files) == InstanceChannel::Role::HandedOver)
        return 0;

    NoteSession &session = NoteSession::shared();
    AppDelegate delegate(session);
    delegate.finishLaunching();
    QList<SaveNotice> recoveryNotices;
    const std::unique_ptr<RecoveryJournal> journal
        = keepJournal(instance, session, delegate, recoveryNotices);

    WispenApp scene(session, delegate);
    NoticeCenter notices(*scene.window()->noticeBar());
    notices.showPending();
    notices.postAll(recoveryNotices);
    QObject::connect(&session, &NoteSession::noticeRaised, &notices, &NoticeCenter::post);
    QObject::connect(
        &delegate, &AppDelegate::finalSaveStarted, &notices, &NoticeCenter::keepForNextStart);
    delegate.openFiles(files);
    FileDropFilter drops;
    openFilesFromElsewhere(instance, drops, scene, delegate);

    scene.show();
    if (onShown)
        onShown(scene.window());
    return QApplication::exec();
}

} // namespace Launcher
