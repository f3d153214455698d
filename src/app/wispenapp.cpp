#include "wispenapp.h"

#include "appdelegate.h"
#include "mainwindow.h"

WispenApp::WispenApp(NoteSession &session, AppDelegate &delegate, QObject *parent)
    : QObject(parent)
    , m_window(std::make_unique<MainWindow>(session))
{
    Q_UNUSED(delegate);
}

WispenApp::~WispenApp() = default;

void WispenApp::show()
{
    m_window->show();
}
