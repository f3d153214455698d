#include "editorfixtures.h"

#include "app/appdelegate.h"
#include "app/mainwindow.h"
#include "app/wispenapp.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "session/notesession.h"
#include "session/textattributes.h"
#include "tabs/contentview.h"

#include <QCoreApplication>
#include <QTest>

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

WispenFixture::WispenFixture()
    : m_session(NoteSession::shared())
    , m_delegate(std::make_unique<AppDelegate>(m_session))
    , m_scene(std::make_unique<WispenApp>(m_session, *m_delegate))
{
    m_scene->show();
    m_scene->window()->resize(benchWindowSize);
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(m_scene->window());
    settle();
}

WispenFixture::~WispenFixture() = default;

WispenTextView *WispenFixture::view() const
{
    return m_scene->window()->content()->editor()->textView();
}

void WispenFixture::openInNewTab(const QString &path)
{
    m_session.addTab();
    settle();
    m_session.loadFiles({ QUrl::fromLocalFile(path) });
    settle();
}

void WispenFixture::closeActiveTab()
{
    m_session.closeTab(m_session.selectedTabId());
    settle();
}

QFont benchNoteFont()
{
    return TextDefaults::font();
}
