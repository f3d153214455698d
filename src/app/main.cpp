#include "app/appdelegate.h"
#include "app/wispenapp.h"
#include "session/notesession.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Wispen"));
    QApplication::setApplicationName(QStringLiteral("Wispen"));

    NoteSession &session = NoteSession::shared();
    AppDelegate delegate(session);
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &AppDelegate::finalSave);

    WispenApp scene(session, delegate);
    scene.show();
    return QApplication::exec();
}
