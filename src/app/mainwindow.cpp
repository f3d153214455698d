#include "mainwindow.h"

#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "mainmenus.h"
#include "tabs/contentview.h"
#include "ui/noticebar.h"
#include "windowaccessor.h"
#include "zoomhost.h"

#include <QCoreApplication>
#include <QSettings>
#include <QVBoxLayout>

namespace {
constexpr QSize defaultWindowSize(900, 650);
constexpr QSize minimumWindowSize(600, 400);
const QString geometryKey = QStringLiteral("windowGeometry");
} // namespace

MainWindow::MainWindow(NoteSession &session, AppDelegate &delegate, double uiScale, QWidget *parent)
    : QMainWindow(parent)
    , m_content(new ContentView(session))
    , m_zoomHost(new ZoomHost(m_content, uiScale, this))
    , m_noticeBar(new NoticeBar)
    , m_windowAccessor(new WindowAccessor(this))
{
    setMinimumSize(minimumWindowSize);
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_noticeBar);
    column->addWidget(m_zoomHost, 1);
    setCentralWidget(central);
    MainMenus::addFileMenu(*this, *m_content, delegate);
    WispenTextView *textView = m_content->editor()->textView();
    MainMenus::addEditMenu(*this, *m_content, textView);
    MainMenus::addFormatMenu(*this, session, textView);
    restoreWindowGeometry();
    m_content->editor()->setFocus();
    // Quit does not close the window first; remember where it was either way.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::saveWindowGeometry);
}

void MainWindow::saveWindowGeometry() const
{
    QSettings().setValue(geometryKey, saveGeometry());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    saveWindowGeometry();
    QMainWindow::closeEvent(event);
}

void MainWindow::restoreWindowGeometry()
{
    const QByteArray stored = QSettings().value(geometryKey).toByteArray();
    if (stored.isEmpty() || !restoreGeometry(stored))
        resize(defaultWindowSize);
}
