#pragma once

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <memory>
#include <type_traits>

class AppDelegate;
class NoteSession;
class WispenApp;
class WispenTextView;

// Lets the event loop finish what a user action started: deferred refreshes, layout, paint.
void settle();

// The size of every benchmark window, Wispen's and the bare editors'.
inline constexpr QSize benchWindowSize(900, 650);

// The default note font, which the bare editors take too.
QFont benchNoteFont();

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

// A bare editor of the toolkit in a window of the same size and font: what the toolkit costs
// on its own. QTextEdit lays out the whole rich-text document; QPlainTextEdit lays out only the
// blocks it shows, which is the speed a note should have.
template<typename Edit> class BareFixture
{
public:
    BareFixture()
    {
        if constexpr (std::is_same_v<Edit, QTextEdit>)
            m_edit.setAcceptRichText(true);
        m_edit.setFont(benchNoteFont());
        m_window.setCentralWidget(&m_edit);
        m_window.resize(benchWindowSize);
        m_window.show();
        QTest::qWaitForWindowExposed(&m_window);
        settle();
    }

    Edit *edit() { return &m_edit; }
    void load(const QString &text)
    {
        m_edit.setPlainText(text);
        settle();
    }

private:
    QMainWindow m_window;
    Edit m_edit;
};

using RichBaseline = BareFixture<QTextEdit>;
using PlainBaseline = BareFixture<QPlainTextEdit>;
