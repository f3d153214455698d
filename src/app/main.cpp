#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/filedropfilter.h"
#include "app/instancechannel.h"
#include "app/mainwindow.h"
#include "app/wispenapp.h"
#include "autosave/journalrecovery.h"
#include "autosave/recoveryjournal.h"
#include "editor/wispentextview.h"
#include "session/notesession.h"

#include <QApplication>
#include <QDir>

#include <memory>

namespace {

void bringToFront(QWidget *window)
{
    window->show();
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Wispen"));
    QApplication::setApplicationName(QStringLiteral("Wispen"));
    QGuiApplication::setDesktopFileName(QStringLiteral("wispen"));

    const QList<QUrl> files =
        CommandLine::fileUrls(QApplication::arguments().sliced(1), QDir::currentPath());
    InstanceChannel instance;
    if (instance.start(files) == InstanceChannel::Role::HandedOver)
        return 0;

    // Only the one Wispen of the user keeps a journal. A journal left with entries means the
    // last run ended without its final save: that save is completed before the window appears.
    const QString journalFolder = RecoveryJournal::defaultFolder();
    if (instance.ownsInstance())
        JournalRecovery::recover(journalFolder);

    NoteSession &session = NoteSession::shared();
    AppDelegate delegate(session);
    delegate.finishLaunching();
    std::unique_ptr<RecoveryJournal> journal;
    if (instance.ownsInstance()) {
        journal = std::make_unique<RecoveryJournal>(session, journalFolder);
        delegate.setJournal(journal.get());
    }

    WispenApp scene(session, delegate);
    delegate.openFiles(files);
    QObject::connect(&instance, &InstanceChannel::filesRequested, &delegate,
                     [&delegate, &scene](const QList<QUrl> &requested) {
                         delegate.openFiles(requested);
                         bringToFront(scene.window());
                     });

    FileDropFilter drops;
    drops.watch(scene.window());
    if (session.textView())
        drops.watch(session.textView()->viewport());
    // Opened after the drop has finished, outside the drag's own event handling.
    QObject::connect(&drops, &FileDropFilter::filesDropped, &delegate, &AppDelegate::openFiles,
                     Qt::QueuedConnection);

    scene.show();
    return QApplication::exec();
}
