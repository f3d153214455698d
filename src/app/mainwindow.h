#pragma once

#include <QMainWindow>

class AppDelegate;
class ContentView;
class NoticeBar;
class NoteSession;
class WindowAccessor;
class ZoomHost;

// The app's one window: the zoomed content below an ordinary menu bar, and a notice bar
// between the two that appears only when there is something to tell. It reopens where and as
// large as it was left.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(
        NoteSession &session, AppDelegate &delegate, double uiScale, QWidget *parent = nullptr);

    ContentView *content() const { return m_content; }
    ZoomHost *zoomHost() const { return m_zoomHost; }
    NoticeBar *noticeBar() const { return m_noticeBar; }
    WindowAccessor *windowAccessor() const { return m_windowAccessor; }

    void saveWindowGeometry() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void restoreWindowGeometry();

    ContentView *m_content = nullptr;
    ZoomHost *m_zoomHost = nullptr;
    NoticeBar *m_noticeBar = nullptr;
    WindowAccessor *m_windowAccessor = nullptr;
};
