#include "tabs/tabtitlelabel.h"
#include "testmain.h"
#include "ui/textlabel.h"

#include <QElapsedTimer>
#include <memory>

// Presses on one title label, standing alone in a host widget.
class tst_TabTitleLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void aSinglePressSelectsOnceAfterTheDelay();
    void aDoubleClickRenamesAtOnceAndNeverSelects();
    void twoSinglePressesSelectOnceAfterTheSecond();
    void theCallbackOfTheLatestUpdateRunsAtTheDeadline();
    void aSelectPendingWhenTheLabelGoesAwayNeverRuns();
    void withoutACoordinatorAPressRunsNothing();
    void anUpdateRestylesAndRetitlesTheSameLabel();

private:
    TabTitleLabel value(const QString &title, bool isSelected)
    {
        return TabTitleLabel(
            title, isSelected,
            [this] {
                ++m_selects;
                m_selectedAfter = m_clock.elapsed();
            },
            [this] { ++m_renames; });
    }
    void press()
    {
        QTest::mousePress(m_hitView, Qt::LeftButton, {}, m_hitView->rect().center());
        QTest::mouseRelease(m_hitView, Qt::LeftButton, {}, m_hitView->rect().center());
    }
    void secondPressOfADoubleClick()
    {
        QTest::mousePress(m_hitView, Qt::LeftButton, {}, m_hitView->rect().center());
        QTest::mouseDClick(m_hitView, Qt::LeftButton, {}, m_hitView->rect().center());
        QTest::mouseRelease(m_hitView, Qt::LeftButton, {}, m_hitView->rect().center());
    }
    TextLabel *label() const { return m_hitView->findChild<TextLabel *>(); }

    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<TabTitleLabel::Coordinator> m_coordinator;
    TabTitleLabel::TitleHitView *m_hitView = nullptr;
    int m_selects = 0;
    int m_renames = 0;
    qint64 m_selectedAfter = -1;
    QElapsedTimer m_clock;
};

void tst_TabTitleLabel::init()
{
    m_selects = 0;
    m_renames = 0;
    m_selectedAfter = -1;
    m_host = std::make_unique<QWidget>();
    const TabTitleLabel label = value(u"Notes"_qs, false);
    m_coordinator = label.makeCoordinator();
    m_hitView = label.makeView(*m_coordinator, m_host.get());
    m_hitView->setGeometry(0, 0, 100, 22);
    m_host->show();
    m_clock.start();
}

void tst_TabTitleLabel::cleanup()
{
    m_host.reset();
    m_coordinator.reset();
}

void tst_TabTitleLabel::aSinglePressSelectsOnceAfterTheDelay()
{
    press();
    QCOMPARE(m_selects, 0);
    QVERIFY(m_hitView->hasPendingSelect());
    QTRY_COMPARE(m_selects, 1);
    QVERIFY(m_selectedAfter >= 220);
    QVERIFY(!m_hitView->hasPendingSelect());
    QTest::qWait(300); // the event loop runs on; nothing more may come
    QCOMPARE(m_selects, 1);
    QCOMPARE(m_renames, 0);
}

void tst_TabTitleLabel::aDoubleClickRenamesAtOnceAndNeverSelects()
{
    press();
    QTest::qWait(100);
    secondPressOfADoubleClick();
    QCOMPARE(m_renames, 1);
    QVERIFY(!m_hitView->hasPendingSelect());
    QTest::qWait(300);
    QCOMPARE(m_selects, 0);
    QCOMPARE(m_renames, 1);
}

void tst_TabTitleLabel::twoSinglePressesSelectOnceAfterTheSecond()
{
    press();
    QTest::qWait(100);
    const qint64 secondPress = m_clock.elapsed();
    press();
    QTRY_COMPARE(m_selects, 1);
    QVERIFY(m_selectedAfter - secondPress >= 220);
    QTest::qWait(300);
    QCOMPARE(m_selects, 1);
}

void tst_TabTitleLabel::theCallbackOfTheLatestUpdateRunsAtTheDeadline()
{
    int replacementRuns = 0;
    press();
    TabTitleLabel(u"Notes"_qs, false, [&replacementRuns] { ++replacementRuns; }, {})
        .updateView(*m_coordinator);
    QTRY_COMPARE(replacementRuns, 1);
    QCOMPARE(m_selects, 0);
}

void tst_TabTitleLabel::aSelectPendingWhenTheLabelGoesAwayNeverRuns()
{
    press();
    QTest::qWait(100);
    delete m_hitView;
    QTest::qWait(300);
    QCOMPARE(m_selects, 0);
}

void tst_TabTitleLabel::withoutACoordinatorAPressRunsNothing()
{
    m_coordinator.reset();
    press();
    QVERIFY(!m_hitView->hasPendingSelect());
    secondPressOfADoubleClick();
    QTest::qWait(300);
    QCOMPARE(m_selects, 0);
    QCOMPARE(m_renames, 0);
}

void tst_TabTitleLabel::anUpdateRestylesAndRetitlesTheSameLabel()
{
    TextLabel *before = label();
    QCOMPARE(before->font().weight(), int(QFont::Normal));
    QCOMPARE(before->level(), UiStyle::Level::Secondary);
    value(u"Renamed"_qs, true).updateView(*m_coordinator);
    QCOMPARE(label(), before);
    QCOMPARE(before->text(), u"Renamed"_qs);
    QCOMPARE(before->font().weight(), int(QFont::DemiBold));
    QCOMPARE(before->level(), UiStyle::Level::Primary);
}

WISPEN_TEST_MAIN(tst_TabTitleLabel)
#include "tst_tabtitlelabel.moc"
