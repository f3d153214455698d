#include "app/appdelegate.h"
#include "app/mainwindow.h"
#include "app/windowaccessor.h"
#include "app/wispenapp.h"
#include "app/zoomhost.h"
#include "app/zoomsteps.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "formatting/formattingpanel.h"
#include "session/notesession.h"
#include "tabs/contentview.h"
#include "testmain.h"
#include "ui/colorscheme.h"
#include "ui/symbolbutton.h"

#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <limits>
#include <memory>

// The whole window as the app makes it, from the settings store of a throwaway HOME, and the
// zoom that draws its content at any scale.
class tst_WispenApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }
    void cleanup();

    void theWindowIsSetUpOnceAndReopensAsItWasLeft();
    void shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists_data();
    void shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists();
    void eachZoomCommandChecksOnlyItsOwnBound_data();
    void eachZoomCommandChecksOnlyItsOwnBound();
    void stepsAreNotRoundedAndTenFromActualSizeEndAtExactlyTwo();
    void theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn_data();
    void theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn();

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
    QTest::addColumn<int>("tabs"); // afterwards; before, two with the last selected
    QTest::addColumn<double>("scale");

    const QVariant none, zoomed(1.5), high(3.0), wide(u"wide"_qs);
    QTest::newRow("Ctrl+= zooms in") << (Qt::CTRL | Qt::Key_Equal) << none << 1.0 << 2 << 1.1;
    QTest::newRow("Ctrl++ zooms in") << (Qt::CTRL | Qt::Key_Plus) << zoomed << 1.5 << 2 << 1.6;
    QTest::newRow("Ctrl+- steps down from a stored scale above the range")
        << (Qt::CTRL | Qt::Key_Minus) << high << 3.0 << 2 << 2.9;
    QTest::newRow("Ctrl+= steps up from a stored scale that is no number")
        << (Qt::CTRL | Qt::Key_Equal) << wide << 1.0 << 2 << 1.1;
    QTest::newRow("Ctrl+0 returns to actual size")
        << (Qt::CTRL | Qt::Key_0) << zoomed << 1.5 << 2 << 1.0;
    QTest::newRow("Ctrl+W closes the tab") << (Qt::CTRL | Qt::Key_W) << zoomed << 1.5 << 1 << 1.5;
}

void tst_WispenApp::shortcutsWorkFromTheEditorAtAnyScaleAndZoomingPersists()
{
    QFETCH(QKeyCombination, keys);
    QFETCH(QVariant, stored);
    QFETCH(double, drawn);
    QFETCH(int, tabs);
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
    QCOMPARE(m_session->selectedTabId(), m_session->tabs().last().id);
    QCOMPARE(window()->zoomHost()->scale(), scale);
    QCOMPARE(QSettings().value(u"uiScale"_qs, 1.0).toDouble(), scale);
}

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

void tst_WispenApp::eachZoomCommandChecksOnlyItsOwnBound_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("zoomedIn");
    QTest::addColumn<double>("zoomedOut");

    QTest::newRow("actual size") << 1.0 << 1.1 << 0.9;
    QTest::newRow("at the top") << 2.0 << 2.0 << 1.9;
    QTest::newRow("at the bottom") << 0.8 << 0.9 << 0.8;
    QTest::newRow("stored above the range") << 3.0 << 2.0 << 2.9;
    QTest::newRow("stored below the range") << 0.5 << 0.6 << 0.8;
    QTest::newRow("stored not a number") << notANumber << 1.1 << 0.9;
    QTest::newRow("stored infinite") << std::numeric_limits<double>::infinity() << 1.1 << 0.9;
    QTest::newRow("stored zero") << 0.0 << 1.1 << 0.9;
    QTest::newRow("stored negative") << -1.5 << 1.1 << 0.9;
}

void tst_WispenApp::eachZoomCommandChecksOnlyItsOwnBound()
{
    QFETCH(double, stored);
    QFETCH(double, zoomedIn);
    QFETCH(double, zoomedOut);
    QCOMPARE(ZoomSteps::zoomedIn(stored), zoomedIn);
    QCOMPARE(ZoomSteps::zoomedOut(stored), zoomedOut);
}

void tst_WispenApp::stepsAreNotRoundedAndTenFromActualSizeEndAtExactlyTwo()
{
    double scale = ZoomSteps::actualSize;
    for (int step = 0; step < 9; ++step)
        scale = ZoomSteps::zoomedIn(scale);
    QCOMPARE_NE(scale, 1.9); // 1.9000000000000008
    QVERIFY(ZoomSteps::zoomedIn(scale) == 2.0);
}

void tst_WispenApp::theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("drawn");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSizeF>("layout");

    const QSize window(1000, 600);
    QTest::newRow("1.5") << 1.5 << 1.5 << QSize(1200, 800) << QSizeF(800, 800 / 1.5);
    QTest::newRow("2.0") << 2.0 << 2.0 << window << QSizeF(500, 300);
    QTest::newRow("0.8") << 0.8 << 0.8 << window << QSizeF(1250, 750);
    QTest::newRow("actual size") << 1.0 << 1.0 << window << QSizeF(window);
    QTest::newRow("not a number, drawn at actual size")
        << notANumber << 1.0 << window << QSizeF(window);
}

void tst_WispenApp::theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn()
{
    QFETCH(double, stored);
    QFETCH(double, drawn);
    QFETCH(QSize, window);
    QFETCH(QSizeF, layout);
    auto *content = new QWidget;
    auto *button = new QPushButton(content);
    button->setGeometry(100, 50, 80, 30);
    button->setFocusPolicy(Qt::NoFocus); // the field below keeps the keys
    auto *field = new QLineEdit(content);
    ZoomHost host(content, stored);
    host.resize(window);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCOMPARE(host.scale(), drawn);
    QCOMPARE(host.layoutSize(), layout);
    QCOMPARE(content->size(), layout.toSize());
    QCOMPARE(host.transform(), QTransform::fromScale(drawn, drawn));

    // The button's middle as drawn, clicked where the platform would deliver the click.
    const QPoint middle = (QPointF(button->geometry().center()) * drawn).toPoint();
    QWidget *target = host.childAt(middle);
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&host, middle));
    QCOMPARE(clicks.count(), 1);

    // A focused field keeps the keys into the zoom and back out of it.
    host.setScale(1.0);
    QVERIFY(!host.isDrawnThroughScene());
    QCOMPARE(content->geometry(), host.rect());
    field->setFocus();
    for (const double scale : { drawn, 1.0 }) {
        host.setScale(scale);
        QTRY_VERIFY(field->hasFocus());
        // Through the scene, keys reach the view, which hands them to the field.
        QCOMPARE(QApplication::focusWidget(), scale == 1.0 ? field : static_cast<QWidget *>(&host));
        QTest::keyClicks(QApplication::focusWidget(), u"a"_qs);
    }
    QCOMPARE(field->text(), u"aa"_qs);
}

WISPEN_TEST_MAIN(tst_WispenApp)
#include "tst_wispenapp.moc"
