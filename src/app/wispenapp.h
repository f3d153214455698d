#pragma once

#include <QObject>

#include <memory>

class AppDelegate;
class MainWindow;
class NoteSession;

// The app's scene: the one main window around the session, with its menus and appearance.
class WispenApp : public QObject
{
    Q_OBJECT

public:
    WispenApp(NoteSession &session, AppDelegate &delegate, QObject *parent = nullptr);
    ~WispenApp() override;

    MainWindow *window() const { return m_window.get(); }
    void show();

private:
    std::unique_ptr<MainWindow> m_window;
};
