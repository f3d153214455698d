#pragma once

#include <QMainWindow>
#include <QTextEdit>
#include <memory>

class AppDelegate;
class NoteSession;
class WispenApp;
class WispenTextView;

// Lets the event loop finish what a user action started: deferred refreshes, layout, paint.
void settle();

// The whole Wispen window on the app's one session, as a person uses it.
class WispenFixture
{
public:
    WispenFixture();
    ~WispenFixture();

    NoteSession &session() const { return m_session; }
    AppDelegate &delegate() const { return *m_delegate; }
    WispenTextView *view() const;

    // A new tab showing the file, as opening it from the desktop does.
    void openInNewTab(const QString &path);
    void closeActiveTab();

private:
    NoteSession &m_session;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<WispenApp> m_scene;
};

// A bare rich-text QTextEdit in a window of the same size: the toolkit's own cost.
class BareFixture
{
public:
    BareFixture();
    QTextEdit *edit() { return &m_edit; }
    void load(const QString &text);

private:
    QMainWindow m_window;
    QTextEdit m_edit;
};
