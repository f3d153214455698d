#include "app/appdelegate.h"
#include "app/mainwindow.h"
#include "app/windowaccessor.h"
#include "app/wispenapp.h"
#include "app/zoomhost.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "formatting/formattingpanel.h"
#include "session/notesession.h"
#include "tabs/contentview.h"
#include "testmain.h"
#include "ui/colorscheme.h"
#include "ui/symbolbutton.h"

#include <QMenuBar>
#include <QSettings>
#include <memory>

// The whole window as the app makes it, from the settings store of a throwaway HOME.
class tst_WispenApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }
    void cleanup();

    void theWindowIsSetUpOnceAndReopensAsItWasLeft();
    void shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists_data();
    void shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists();

private:
    void launch();
    MainWindow *window() const { return m_app->window(); }
    static QColor windowColour() { return QApplication::palette().color(QPalette::Window); }

    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<WispenApp> m_app;
};

void tst_WispenApp::cleanup()
{
    m_app.reset();
    m_delegate.reset();
    m_session.reset();
}

void tst_WispenApp::launch()
{
    m_app.reset();
    m_session = std::make_unique<NoteSession>();
    m_delegate = std::make_unique<AppDelegate>(*m_session);
    m_app = std::make_unique<WispenApp>(*m_session, *m_delegate);
    m_app->show();
    QApplication::setActiveWindow(window());
    QVERIFY(QTest::qWaitForWindowActive(window()));
}

void tst_WispenApp::theWindowIsSetUpOnceAndReopensAsItWasLeft()
{
    launch();
    QTRY_COMPARE(window()->windowTitle(), u"Wispen."_qs);
    QCOMPARE(window()->windowAccessor()->configurationCount(), 1);
    // The menu bar is the window's own, outside the zoomed content.
    QVERIFY(!window()->zoomHost()->isAncestorOf(window()->menuBar()));
    const QColor light = ColorScheme::lightScheme().window;
    QTest::mouseClick(window()->content()->panel()->appearanceButton(), Qt::LeftButton);
    QCOMPARE(windowColour(), light);
    // Widgets take the application's new palette on the next turn of the event loop.
    QTRY_COMPARE(window()->content()->palette().color(QPalette::Window), light);
    window()->resize(1000, 700);
    window()->close();
    launch();
    QCOMPARE(window()->size(), QSize(1000, 700));
    QCOMPARE(windowColour(), light);
}

void tst_WispenApp::shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("drawn");
    QTest::addColumn<int>("tabs"); // afterwards; before, two with the second selected
    QTest::addColumn<int>("selected");
    QTest::addColumn<double>("scale");

    const QVariant none, zoomed(1.5), high(3.0), wide(u"wide"_qs);
    QTest::newRow("Ctrl+= zooms in") << (Qt::CTRL | Qt::Key_Equal) << none << 1.0 << 2 << 1 << 1.1;
    QTest::newRow("Ctrl++ zooms in") << (Qt::CTRL | Qt::Key_Plus) << zoomed << 1.5 << 2 << 1 << 1.6;
    QTest::newRow("Ctrl+- steps down from a stored scale above the range")
        << (Qt::CTRL | Qt::Key_Minus) << high << 3.0 << 2 << 1 << 2.9;
    QTest::newRow("Ctrl+= steps up from a stored scale that is no number")
        << (Qt::CTRL | Qt::Key_Equal) << wide << 1.0 << 2 << 1 << 1.1;
    QTest::newRow("Ctrl+0 returns to actual size")
        << (Qt::CTRL | Qt::Key_0) << zoomed << 1.5 << 2 << 1 << 1.0;
    QTest::newRow("Ctrl+T adds a tab") << (Qt::CTRL | Qt::Key_T) << none << 1.0 << 3 << 2 << 1.0;
    QTest::newRow("Ctrl+W closes the tab")
        << (Qt::CTRL | Qt::Key_W) << zoomed << 1.5 << 1 << 0 << 1.5;
    QTest::newRow("Ctrl+Tab selects the next tab")
        << (Qt::CTRL | Qt::Key_Tab) << none << 1.0 << 2 << 0 << 1.0;
    QTest::newRow("Ctrl+PgUp selects the previous tab")
        << (Qt::CTRL | Qt::Key_PageUp) << zoomed << 1.5 << 2 << 0 << 1.5;
}

void tst_WispenApp::shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(QVariant, stored);
    QFETCH(double, drawn);
    QFETCH(int, tabs);
    QFETCH(int, selected);
    QFETCH(double, scale);
    if (stored.isValid())
        QSettings().setValue(u"uiScale"_qs, stored);
    launch();
    QCOMPARE(window()->zoomHost()->scale(), drawn);
    m_session->addTab();
    WispenTextView *editor = window()->content()->editor()->textView();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    // Keys reach the window's focus widget: the editor itself at actual size, else the zoom's
    // view, which hands them to the editor.
    QWidget *focused = QApplication::focusWidget();
    QCOMPARE(focused, drawn == 1.0 ? static_cast<QWidget *>(editor) : window()->zoomHost());
    QTest::keyClick(focused, keys.key(), keys.keyboardModifiers());
    QCOMPARE(m_session->tabs().size(), tabs);
    QCOMPARE(m_session->selectedTabId(), m_session->tabs().at(selected).id);
    QCOMPARE(window()->zoomHost()->scale(), scale);
    QCOMPARE(QSettings().value(u"uiScale"_qs, 1.0).toDouble(), scale);
}

WISPEN_TEST_MAIN(tst_WispenApp)
#include "tst_wispenapp.moc"
