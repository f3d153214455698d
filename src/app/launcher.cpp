#include "launcher.h"

#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/filedropfilter.h"
#include "app/instancechannel.h"
#include "app/mainwindow.h"
#include "app/noticecenter.h"
#include "app/unresponsiveprompt.h"
#include "app/wispenapp.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "journal/journalrecovery.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "tabs/contentview.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
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

// Hands the files over or makes this process the one Wispen of the user. While a running one
// holds the lock without answering, the user decides whether to wait for it; this launch never
// goes on beside it.
InstanceChannel::Role settleRole(InstanceChannel &instance, const QList<QUrl> &files)
{
    InstanceChannel::Role role = instance.start(files);
    while (role == InstanceChannel::Role::Unresponsive
        && UnresponsivePrompt::askToWait(instance.places()))
        role = instance.start(files);
    if (role == InstanceChannel::Role::Unavailable) {
        QMessageBox::critical(nullptr, QStringLiteral("Wispen"),
            QStringLiteral("Wispen cannot start: it cannot create its lock file %1")
                .arg(instance.places().lockPath));
    }
    return role;
}

// Only the one Wispen of the user keeps a journal. A journal left with entries means the last
// run ended without its final save: that save is completed here, before the window appears.
std::unique_ptr<RecoveryJournal> keepJournal(
    NoteSession &session, AppDelegate &delegate, QList<SaveNotice> &notices)
{
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
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.wispen.Wispen"));

    const QList<QUrl> files
        = CommandLine::fileUrls(QApplication::arguments().sliced(1), QDir::currentPath());
    InstanceChannel instance(InstancePlaces::ofCurrentUser(), InstanceChannel::Timeouts {});
    switch (settleRole(instance, files)) {
    case InstanceChannel::Role::Owner:
        break;
    case InstanceChannel::Role::HandedOver:
        return 0;
    case InstanceChannel::Role::Unresponsive:
    case InstanceChannel::Role::Unavailable:
        return 1;
    }

    NoteSession &session = NoteSession::shared();
    AppDelegate delegate(session);
    delegate.finishLaunching();
    QList<SaveNotice> recoveryNotices;
    const std::unique_ptr<RecoveryJournal> journal
        = keepJournal(session, delegate, recoveryNotices);

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
