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
#include "ui/apppreferences.h"
#include "ui/colorscheme.h"
#include "ui/symbolbutton.h"

#include <QMenuBar>
#include <QSettings>
#include <QStyle>
#include <memory>

// The whole window as the app makes it, from the settings store of a throwaway HOME.
class tst_WispenApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void aFirstLaunchOpensADarkWindowAtActualSize();
    void theWindowIsConfiguredOnceOnTheTurnAfterItIsMade();
    void zoomCommandsFollowTheirArithmeticAndPersist();
    void aStoredScaleReachesTheContentUnchanged_data();
    void aStoredScaleReachesTheContentUnchanged();
    void theAppearanceButtonSwitchesTheWindowAtOnceAndPersists();
    void theWindowReopensWhereAndAsLargeAsItWasLeft();
    void shortcutsWorkWhileTheEditorHasTheFocus_data();
    void shortcutsWorkWhileTheEditorHasTheFocus();

private:
    void launch();
    QAction *action(const QString &text) const;
    MainWindow *window() const { return m_app->window(); }

    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<WispenApp> m_app;
};

void tst_WispenApp::init()
{
    QSettings().clear();
}

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

QAction *tst_WispenApp::action(const QString &text) const
{
    for (QAction *each : window()->menuBar()->findChildren<QAction *>()) {
        if (each->text() == text)
            return each;
    }
    return nullptr;
}

void tst_WispenApp::aFirstLaunchOpensADarkWindowAtActualSize()
{
    launch();
    QCOMPARE(window()->size(), QSize(900, 650));
    QCOMPARE(window()->minimumSize(), QSize(600, 400));
    QCOMPARE(window()->zoomHost()->scale(), 1.0);
    QCOMPARE(QApplication::palette().color(QPalette::Window), ColorScheme::darkScheme().window);
    QCOMPARE(QApplication::style()->name(), u"fusion"_qs);
    // The menu bar is the window's own, outside the zoomed content.
    QVERIFY(!window()->zoomHost()->isAncestorOf(window()->menuBar()));
    QStringList menus;
    for (QAction *menu : window()->menuBar()->actions())
        menus << menu->text().remove(u'&');
    QCOMPARE(menus, (QStringList { u"File"_qs, u"Edit"_qs, u"Format"_qs, u"View"_qs }));
}

void tst_WispenApp::theWindowIsConfiguredOnceOnTheTurnAfterItIsMade()
{
    launch();
    QTRY_COMPARE(window()->windowTitle(), u"Wispen."_qs);
    QCOMPARE(window()->windowAccessor()->configurationCount(), 1);
    action(u"Zoom In"_qs)->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(window()->windowAccessor()->configurationCount(), 1);
}

void tst_WispenApp::zoomCommandsFollowTheirArithmeticAndPersist()
{
    launch();
    QAction *zoomIn = action(u"Zoom In"_qs);
    QCOMPARE(zoomIn->shortcuts(),
        (QList<QKeySequence> { QKeySequence(u"Ctrl+="_qs), QKeySequence(u"Ctrl++"_qs) }));
    QCOMPARE(action(u"Zoom Out"_qs)->shortcut(), QKeySequence(u"Ctrl+-"_qs));
    QCOMPARE(action(u"Actual Size"_qs)->shortcut(), QKeySequence(u"Ctrl+0"_qs));
    for (int step = 0; step < 11; ++step)
        zoomIn->trigger();
    QVERIFY(QSettings().value(u"uiScale"_qs).toDouble() == 2.0);
    QVERIFY(window()->zoomHost()->scale() == 2.0);

    action(u"Actual Size"_qs)->trigger();
    QVERIFY(AppPreferences::shared().uiScale() == 1.0);
    action(u"Zoom Out"_qs)->trigger();
    QCOMPARE(AppPreferences::shared().uiScale(), 0.9);
    QCOMPARE(window()->zoomHost()->scale(), 0.9);
}

void tst_WispenApp::aStoredScaleReachesTheContentUnchanged_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("drawn");

    QTest::newRow("outside the commands' range") << QVariant(3.0) << 3.0;
    QTest::newRow("not a number") << QVariant(u"wide"_qs) << 1.0;
}

void tst_WispenApp::aStoredScaleReachesTheContentUnchanged()
{
    QFETCH(QVariant, stored);
    QFETCH(double, drawn);
    QSettings().setValue(u"uiScale"_qs, stored);
    launch();
    QCOMPARE(window()->zoomHost()->scale(), drawn);
}

void tst_WispenApp::theAppearanceButtonSwitchesTheWindowAtOnceAndPersists()
{
    launch();
    QTest::mouseClick(window()->content()->panel()->appearanceButton(), Qt::LeftButton);
    QCOMPARE(QApplication::palette().color(QPalette::Window), ColorScheme::lightScheme().window);
    // Widgets take the application's new palette on the next turn of the event loop.
    QTRY_COMPARE(
        window()->content()->palette().color(QPalette::Window), ColorScheme::lightScheme().window);
    launch();
    QCOMPARE(QApplication::palette().color(QPalette::Window), ColorScheme::lightScheme().window);
    QCOMPARE(window()->content()->panel()->appearanceButton()->symbol(), u"moon.fill"_qs);
}

void tst_WispenApp::theWindowReopensWhereAndAsLargeAsItWasLeft()
{
    launch();
    window()->resize(1000, 700);
    window()->close();
    launch();
    QCOMPARE(window()->size(), QSize(1000, 700));
}

void tst_WispenApp::shortcutsWorkWhileTheEditorHasTheFocus_data()
{
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("selected");
    QTest::addColumn<double>("scale");

    QTest::newRow("Ctrl+= zooms in") << (Qt::CTRL | Qt::Key_Equal) << 2 << 1 << 1.1;
    QTest::newRow("Ctrl+- zooms out") << (Qt::CTRL | Qt::Key_Minus) << 2 << 1 << 0.9;
    QTest::newRow("Ctrl+T adds a tab") << (Qt::CTRL | Qt::Key_T) << 3 << 2 << 1.0;
    QTest::newRow("Ctrl+W closes the tab") << (Qt::CTRL | Qt::Key_W) << 1 << 0 << 1.0;
    QTest::newRow("Ctrl+Tab goes to the next tab") << (Qt::CTRL | Qt::Key_Tab) << 2 << 0 << 1.0;
    QTest::newRow("Ctrl+PgUp goes to the previous tab")
        << (Qt::CTRL | Qt::Key_PageUp) << 2 << 0 << 1.0;
}

void tst_WispenApp::shortcutsWorkWhileTheEditorHasTheFocus()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(int, tabs);
    QFETCH(int, selected);
    QFETCH(double, scale);
    launch();
    m_session->addTab();
    WispenTextView *editor = window()->content()->editor()->textView();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    // Keys reach the window's focus widget: the editor itself at actual size, else the zoom's
    // view, which hands them to the editor.
    QCOMPARE(QApplication::focusWidget(),
        window()->zoomHost()->isDrawnThroughScene() ? static_cast<QWidget *>(window()->zoomHost())
                                                    : editor);
    QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
    QCOMPARE(m_session->tabs().size(), tabs);
    QCOMPARE(m_session->selectedTabId(), m_session->tabs().at(selected).id);
    QCOMPARE(window()->zoomHost()->scale(), scale);
}

WISPEN_TEST_MAIN(tst_WispenApp)
#include "tst_wispenapp.moc"
