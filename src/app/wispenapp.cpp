#include "wispenapp.h"

#include "appdelegate.h"
#include "mainwindow.h"
#include "tabs/contentview.h"
#include "ui/appearance.h"
#include "ui/apppreferences.h"
#include "zoomhost.h"
#include "zoomsteps.h"

#include <QMenuBar>

WispenApp::WispenApp(NoteSession &session, AppDelegate &delegate, QObject *parent)
    : QObject(parent)
{
    AppPreferences &preferences = AppPreferences::shared();
    Appearance::apply(preferences.isDarkMode());
    m_window = std::make_unique<MainWindow>(session, delegate, preferences.uiScale());
    addViewMenu();
    connect(&preferences, &AppPreferences::darkModeChanged, this, &Appearance::apply);
    connect(&preferences, &AppPreferences::uiScaleChanged, this,
        [this](double scale) { m_window->zoomHost()->setScale(scale); });
}

WispenApp::~WispenApp() = default;

void WispenApp::show()
{
    m_window->show();
}

void WispenApp::zoomIn()
{
    AppPreferences &preferences = AppPreferences::shared();
    preferences.setUiScale(ZoomSteps::zoomedIn(preferences.uiScale()));
}

void WispenApp::zoomOut()
{
    AppPreferences &preferences = AppPreferences::shared();
    preferences.setUiScale(ZoomSteps::zoomedOut(preferences.uiScale()));
}

void WispenApp::actualSize()
{
    AppPreferences::shared().setUiScale(ZoomSteps::actualSize);
}

void WispenApp::addViewMenu()
{
    QMenu *menu = m_window->menuBar()->addMenu(QStringLiteral("&View"));
    QAction *zoomInAction = menu->addAction(QStringLiteral("Zoom In"));
    zoomInAction->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus) });
    connect(zoomInAction, &QAction::triggered, this, &WispenApp::zoomIn);
    QAction *zoomOutAction = menu->addAction(QStringLiteral("Zoom Out"));
    zoomOutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(zoomOutAction, &QAction::triggered, this, &WispenApp::zoomOut);
    QAction *actualSizeAction = menu->addAction(QStringLiteral("Actual Size"));
    actualSizeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(actualSizeAction, &QAction::triggered, this, &WispenApp::actualSize);
    menu->addSeparator();
    ContentView *content = m_window->content();
    QAction *nextPane = menu->addAction(QStringLiteral("Focus Next Pane"));
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, content, [content] { content->focusPane(1); });
    QAction *previousPane = menu->addAction(QStringLiteral("Focus Previous Pane"));
    previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane, &QAction::triggered, content, [content] { content->focusPane(-1); });
}
