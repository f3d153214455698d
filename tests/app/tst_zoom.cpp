#include "app/zoomhost.h"
#include "app/zoomsteps.h"
#include "testmain.h"

#include <QGraphicsProxyWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <limits>
#include <memory>

class tst_Zoom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void zoomStepsStayWithinTheirOwnBound_data();
    void zoomStepsStayWithinTheirOwnBound();
    void tenZoomInStepsFromActualSizeEndAtExactlyTwo();
    void theContentIsLaidOutAtTheWindowSizeOverTheScale_data();
    void theContentIsLaidOutAtTheWindowSizeOverTheScale();
    void clicksLandOnWhatIsDrawnUnderThePointer();
    void aScaleThatIsNotPositiveAndFiniteDrawsAtActualSize_data();
    void aScaleThatIsNotPositiveAndFiniteDrawsAtActualSize();
    void atActualSizeTheContentIsAnOrdinaryChildAndKeepsItsFocusAcrossZooms();
    void aNewScaleLaysTheContentOutAgain();
};

void tst_Zoom::zoomStepsStayWithinTheirOwnBound_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("zoomedIn");
    QTest::addColumn<double>("zoomedOut");

    QTest::newRow("actual size") << 1.0 << 1.1 << 0.9;
    QTest::newRow("at the top") << 2.0 << 2.0 << 1.9;
    QTest::newRow("at the bottom") << 0.8 << 0.9 << 0.8;
    QTest::newRow("stored above the range") << 3.0 << 2.0 << 2.9;
    QTest::newRow("stored below the range") << 0.5 << 0.6 << 0.8;
    QTest::newRow("stored not a number") << std::numeric_limits<double>::quiet_NaN() << 1.1 << 0.9;
    QTest::newRow("stored zero") << 0.0 << 1.1 << 0.9;
}

void tst_Zoom::zoomStepsStayWithinTheirOwnBound()
{
    QFETCH(double, stored);
    QFETCH(double, zoomedIn);
    QFETCH(double, zoomedOut);
    QCOMPARE(ZoomSteps::zoomedIn(stored), zoomedIn);
    QCOMPARE(ZoomSteps::zoomedOut(stored), zoomedOut);
}

void tst_Zoom::tenZoomInStepsFromActualSizeEndAtExactlyTwo()
{
    double scale = ZoomSteps::actualSize;
    for (int step = 0; step < 9; ++step)
        scale = ZoomSteps::zoomedIn(scale);
    QCOMPARE_NE(scale, 1.9); // no rounding to the step: 1.9000000000000008
    scale = ZoomSteps::zoomedIn(scale);
    QVERIFY(scale == 2.0);
    QVERIFY(ZoomSteps::zoomedIn(scale) == 2.0);
    QVERIFY(ZoomSteps::zoomedOut(ZoomSteps::zoomedOut(1.0)) == ZoomSteps::minScale);
}

void tst_Zoom::theContentIsLaidOutAtTheWindowSizeOverTheScale_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSizeF>("layout");

    QTest::newRow("1.5") << 1.5 << QSize(1200, 800) << QSizeF(800, 800 / 1.5);
    QTest::newRow("actual size") << 1.0 << QSize(1200, 800) << QSizeF(1200, 800);
    QTest::newRow("2.0") << 2.0 << QSize(1000, 600) << QSizeF(500, 300);
    QTest::newRow("0.8") << 0.8 << QSize(1000, 600) << QSizeF(1250, 750);
}

void tst_Zoom::theContentIsLaidOutAtTheWindowSizeOverTheScale()
{
    QFETCH(double, scale);
    QFETCH(QSize, window);
    QFETCH(QSizeF, layout);
    auto *content = new QWidget;
    ZoomHost host(content, scale);
    host.resize(window);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCOMPARE(host.layoutSize(), layout);
    QCOMPARE(host.proxy()->geometry(), QRectF(QPointF(0, 0), layout));
    QCOMPARE(content->size(), layout.toSize());
    // Drawn from the top-left corner, covering the window.
    QCOMPARE(host.mapFromScene(QPointF(0, 0)), QPoint(0, 0));
    QCOMPARE(host.transform(), QTransform::fromScale(scale, scale));
    QVERIFY(!host.horizontalScrollBar()->isVisible());
    QVERIFY(!host.verticalScrollBar()->isVisible());
    QCOMPARE(host.frameShape(), QFrame::NoFrame);
}

void tst_Zoom::clicksLandOnWhatIsDrawnUnderThePointer()
{
    auto *content = new QWidget;
    auto *button = new QPushButton(u"Target"_qs, content);
    button->setGeometry(100, 50, 80, 30);
    ZoomHost host(content, 1.5);
    host.resize(1200, 800);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QSignalSpy clicks(button, &QPushButton::clicked);

    // Where the button would be at actual size is empty at 1.5.
    QTest::mouseClick(host.viewport(), Qt::LeftButton, {}, QPoint(105, 55));
    QCOMPARE(clicks.count(), 0);
    // Where it is drawn: 1.5 times its laid-out place.
    QTest::mouseClick(host.viewport(), Qt::LeftButton, {}, QPoint(260, 115));
    QCOMPARE(clicks.count(), 1);
}

void tst_Zoom::aScaleThatIsNotPositiveAndFiniteDrawsAtActualSize_data()
{
    QTest::addColumn<double>("stored");

    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -1.5;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
}

void tst_Zoom::aScaleThatIsNotPositiveAndFiniteDrawsAtActualSize()
{
    QFETCH(double, stored);
    QCOMPARE(ZoomSteps::drawable(stored), 1.0);
    ZoomHost host(new QWidget, stored);
    host.resize(700, 500);
    host.show();
    QCOMPARE(host.scale(), 1.0);
    QCOMPARE(host.layoutSize(), QSizeF(700, 500));
}

void tst_Zoom::atActualSizeTheContentIsAnOrdinaryChildAndKeepsItsFocusAcrossZooms()
{
    auto *content = new QWidget;
    auto *field = new QLineEdit(content);
    field->setGeometry(100, 50, 120, 30);
    ZoomHost host(content, 1.0);
    host.resize(900, 600);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QVERIFY(!host.isDrawnThroughScene());
    QCOMPARE(content->parentWidget(), &host);
    QCOMPARE(content->geometry(), host.rect());

    host.setScale(1.5);
    QVERIFY(host.isDrawnThroughScene());
    QCOMPARE(content->size(), QSize(600, 400));
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(QApplication::focusWidget(), &host);
    QTest::keyClicks(QApplication::focusWidget(), u"ab"_qs);
    QCOMPARE(field->text(), u"ab"_qs);

    host.setScale(1.0);
    QVERIFY(!host.isDrawnThroughScene());
    QCOMPARE(content->geometry(), host.rect());
    QTRY_VERIFY(field->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), u"c"_qs);
    QCOMPARE(field->text(), u"abc"_qs);
}

void tst_Zoom::aNewScaleLaysTheContentOutAgain()
{
    auto *content = new QWidget;
    ZoomHost host(content, 1.0);
    host.resize(900, 600);
    host.show();
    host.setScale(2.0);
    QCOMPARE(content->size(), QSize(450, 300));
    host.resize(1000, 600);
    QTRY_COMPARE(content->size(), QSize(500, 300));
}

WISPEN_TEST_MAIN(tst_Zoom)
#include "tst_zoom.moc"
