#include "windowaccessor.h"

#include <QMainWindow>
#include <QTimer>
#include <QToolBar>

WindowAccessor::WindowAccessor(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(0, 0);
    hide();
    QTimer::singleShot(0, this, &WindowAccessor::configureWindow);
}

void WindowAccessor::configureWindow()
{
    QWidget *window = parentWidget() ? parentWidget()->window() : nullptr;
    if (!window)
        return;
    ++m_configurationCount;
    window->setWindowTitle(QStringLiteral("Wispen."));
    if (auto *mainWindow = qobject_cast<QMainWindow *>(window)) {
        for (QToolBar *toolBar : mainWindow->findChildren<QToolBar *>()) {
            mainWindow->removeToolBar(toolBar);
            toolBar->deleteLater();
        }
    }
    // A visible title: a title bar the window manager draws, not a frameless window.
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint))
        window->setWindowFlag(Qt::FramelessWindowHint, false);
}
