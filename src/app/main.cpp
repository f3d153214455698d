#include "app/appdelegate.h"
#include "app/mainwindow.h"
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

    MainWindow window(session);
    window.show();
    return QApplication::exec();
}
