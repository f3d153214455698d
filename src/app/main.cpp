#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/filedropfilter.h"
#include "app/instancechannel.h"
#include "app/mainwindow.h"
#include "app/wispenapp.h"
#include "editor/wispentextview.h"
#include "session/notesession.h"

#include <QApplication>
#include <QDir>

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

    NoteSession &session = NoteSession::shared();
    AppDelegate delegate(session);
    delegate.finishLaunching();

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
