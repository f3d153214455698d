#include "app/zoomhost.h"
#include "app/zoomsteps.h"
#include "testmain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <limits>

class tst_Zoom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachZoomCommandChecksOnlyItsOwnBound_data();
    void eachZoomCommandChecksOnlyItsOwnBound();
    void stepsAreNotRoundedAndTenFromActualSizeEndAtExactlyTwo();
    void theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn_data();
    void theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn();
    void theFocusedFieldKeepsTheKeysAcrossZoomsAndResizes();
};

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

void tst_Zoom::eachZoomCommandChecksOnlyItsOwnBound_data()
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

void tst_Zoom::eachZoomCommandChecksOnlyItsOwnBound()
{
    QFETCH(double, stored);
    QFETCH(double, zoomedIn);
    QFETCH(double, zoomedOut);
    QCOMPARE(ZoomSteps::zoomedIn(stored), zoomedIn);
    QCOMPARE(ZoomSteps::zoomedOut(stored), zoomedOut);
}

void tst_Zoom::stepsAreNotRoundedAndTenFromActualSizeEndAtExactlyTwo()
{
    double scale = ZoomSteps::actualSize;
    for (int step = 0; step < 9; ++step)
        scale = ZoomSteps::zoomedIn(scale);
    QCOMPARE_NE(scale, 1.9); // 1.9000000000000008
    QVERIFY(ZoomSteps::zoomedIn(scale) == 2.0);
}

void tst_Zoom::theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn_data()
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

void tst_Zoom::theContentIsLaidOutAtTheWindowOverTheScaleAndClickedWhereItIsDrawn()
{
    QFETCH(double, stored);
    QFETCH(double, drawn);
    QFETCH(QSize, window);
    QFETCH(QSizeF, layout);
    auto *content = new QWidget;
    auto *button = new QPushButton(content);
    button->setGeometry(100, 50, 80, 30);
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
}

void tst_Zoom::theFocusedFieldKeepsTheKeysAcrossZoomsAndResizes()
{
    auto *content = new QWidget;
    auto *field = new QLineEdit(content);
    ZoomHost host(content, 1.0);
    host.resize(900, 600);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QVERIFY(!host.isDrawnThroughScene());

    host.setScale(2.0);
    QCOMPARE(content->size(), QSize(450, 300));
    QTRY_VERIFY(field->hasFocus());
    // Keys reach the scene through the view, which hands them to the field.
    QCOMPARE(QApplication::focusWidget(), &host);
    QTest::keyClicks(QApplication::focusWidget(), u"ab"_qs);
    QCOMPARE(field->text(), u"ab"_qs);
    host.resize(1000, 600);
    QTRY_COMPARE(content->size(), QSize(500, 300));

    host.setScale(1.0);
    QVERIFY(!host.isDrawnThroughScene());
    QCOMPARE(content->geometry(), host.rect());
    QTRY_VERIFY(field->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), u"c"_qs);
    QCOMPARE(field->text(), u"abc"_qs);
}

WISPEN_TEST_MAIN(tst_Zoom)
#include "tst_zoom.moc"
