#pragma once

#include <QObject>
#include <memory>

class AppDelegate;
class MainWindow;
class NoteSession;

// The app's scene: the one main window around the session, in the persisted appearance and
// zoom, with the View menu's zoom commands.
class WispenApp : public QObject
{
    Q_OBJECT

public:
    WispenApp(NoteSession &session, AppDelegate &delegate, QObject *parent = nullptr);
    ~WispenApp() override;

    MainWindow *window() const { return m_window.get(); }
    void show();

    void zoomIn();
    void zoomOut();
    void actualSize();

private:
    void addViewMenu();

    std::unique_ptr<MainWindow> m_window;
};
