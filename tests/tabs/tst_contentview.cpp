#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "session/notesession.h"
#include "tabs/contentview.h"
#include "tabs/renamefield.h"
#include "tabs/tabcell.h"
#include "testfiles.h"
#include "testmain.h"
#include "ui/symbolbutton.h"
#include "ui/textlabel.h"

#include <QSignalSpy>
#include <memory>

class tst_ContentView : public QObject
{
    Q_OBJECT

public:
    enum class Leave { Return, Click, Next, Previous, Add, CloseButton, CloseTab };

private Q_SLOTS:
    void init();
    void cleanup();

    void doubleClickOpensAFocusedFieldOnTheStoredTitleAndCommitsNothing_data();
    void doubleClickOpensAFocusedFieldOnTheStoredTitleAndCommitsNothing();
    void typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle_data();
    void typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle();
    void theRenameStaysInProgressWhen_data();
    void theRenameStaysInProgressWhen();
    void aRenamingTabClosedElsewhereShowsNoFieldAndFinalizesQuietly();
    void aClickSelectsAfterTheDelayFromTheLastPressEvenAcrossARefresh();
    void aLongTitleIsCutAndAShortOneStillGetsTheMinimumWidth();

private:
    QUuid tabId(int index) const { return m_session->tabs().at(index).id; }
    TabCell *cell(int index) const { return m_view->cell(tabId(index)); }
    RenameField *field(int index) const { return cell(index)->renameField(); }
    auto customTitle(int index) const { return m_session->tabs().at(index).customTitle; }
    void addTabs(int count) const
    {
        for (int i = 0; i < count; ++i)
            m_session->addTab();
        settle();
    }
    // Two turns: the refresh after a change, then the focus that follows it.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void click(int index, bool twice = false) const;
    void startRename(int index) const;

    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<ContentView> m_view;
};

void tst_ContentView::init()
{
    m_session = std::make_unique<NoteSession>();
    m_view = std::make_unique<ContentView>(*m_session);
    m_view->resize(900, 600);
    m_view->show();
    QApplication::setActiveWindow(m_view.get());
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
}

void tst_ContentView::cleanup()
{
    m_view.reset();
    m_session.reset();
    QDir(TestFiles::desktop()).removeRecursively();
}

void tst_ContentView::click(int index, bool twice) const
{
    // A double click as the platform delivers it: press, release, press, double click, release.
    QWidget *hitView = cell(index)->hitView();
    const QPoint middle = hitView->rect().center();
    QTest::mousePress(hitView, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(hitView, Qt::LeftButton, {}, middle);
    if (!twice)
        return;
    QTest::mousePress(hitView, Qt::LeftButton, {}, middle);
    QTest::mouseDClick(hitView, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(hitView, Qt::LeftButton, {}, middle);
}

void tst_ContentView::startRename(int index) const
{
    click(index, true);
    QTRY_VERIFY(field(index) && field(index)->hasFocus());
}

void tst_ContentView::doubleClickOpensAFocusedFieldOnTheStoredTitleAndCommitsNothing_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("whileRenamingAnother");

    QTest::newRow("untitled") << QString() << false;
    QTest::newRow("custom title with spaces") << u"  Plan "_qs << false;
    QTest::newRow("while another tab is renamed") << u"Ideas"_qs << true;
}

void tst_ContentView::doubleClickOpensAFocusedFieldOnTheStoredTitleAndCommitsNothing()
{
    QFETCH(QString, stored);
    QFETCH(bool, whileRenamingAnother);
    addTabs(1); // the tab double clicked is in the background
    if (!stored.isEmpty())
        m_session->updateTabTitleDraft(tabId(0), stored);
    if (whileRenamingAnother) {
        startRename(1);
        QTest::keyClicks(field(1), u" first "_qs);
    }
    settle();
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);

    click(0, true);
    QCOMPARE(m_view->renamingTabId(), tabId(0));
    QTRY_VERIFY(field(0) && field(0)->hasFocus());
    QVERIFY(!cell(0)->hitView());
    QCOMPARE(field(0)->text(), stored);
    QCOMPARE(sessionChanges.count(), 0);
    QCOMPARE(customTitle(1), whileRenamingAnother ? u" first "_qs : std::optional<QString>());
    QVERIFY(!field(1));
    QTest::qWait(TabTitleLabel::TitleHitView::singleClickDelay.count() + 100);
    QCOMPARE(m_session->selectedTabId(), tabId(1));
}

void tst_ContentView::typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle_data()
{
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<int>("renamed"); // of three tabs, and selected
    QTest::addColumn<int>("selected"); // afterwards

    QTest::newRow("Return") << Leave::Return << 1 << 1;
    QTest::newRow("click on another title") << Leave::Click << 2 << 0;
    QTest::newRow("next tab, wrapping to the first") << Leave::Next << 2 << 0;
    QTest::newRow("previous tab, wrapping to the last") << Leave::Previous << 0 << 2;
    QTest::newRow("add button") << Leave::Add << 1 << 3;
    QTest::newRow("close button, saving under the title") << Leave::CloseButton << 1 << 0;
    QTest::newRow("close tab command, saving under the title") << Leave::CloseTab << 1 << 0;
}

void tst_ContentView::typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle()
{
    QFETCH(Leave, leave);
    QFETCH(int, renamed);
    QFETCH(int, selected);
    addTabs(2);
    m_session->selectTab(tabId(renamed));
    QTest::keyClicks(m_view->editor()->textView(), u"buy milk"_qs);
    settle();
    startRename(renamed);
    RenameField *typedInto = field(renamed);
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);
    QTest::keyClicks(typedInto, u" Draft "_qs);
    QCOMPARE(sessionChanges.count(), 7); // one for each key
    QCOMPARE(customTitle(renamed), u" Draft "_qs);
    settle();
    QCOMPARE(field(renamed), typedInto); // the refreshes keep the field and its focus
    QVERIFY(typedInto->hasFocus());
    const QUuid renamedId = tabId(renamed);

    if (leave == Leave::Return)
        QTest::keyClick(typedInto, Qt::Key_Return);
    else if (leave == Leave::Click)
        click(selected);
    else if (leave == Leave::Next || leave == Leave::Previous)
        m_view->selectTabAtOffset(leave == Leave::Next ? 1 : -1);
    else if (leave == Leave::Add)
        QTest::mouseClick(m_view->addButton(), Qt::LeftButton);
    else if (leave == Leave::CloseButton)
        QTest::mouseClick(cell(renamed)->closeButton(), Qt::LeftButton);
    else
        m_view->closeSelectedTab();
    if (leave == Leave::Click)
        QCOMPARE(m_view->renamingTabId(), renamedId); // until the select runs
    QTRY_COMPARE(m_session->selectedTabId(), tabId(selected));
    QVERIFY(!m_view->renamingTabId());
    const bool closed = leave == Leave::CloseButton || leave == Leave::CloseTab;
    if (closed) {
        const QString saved = QDir(TestFiles::desktop()).filePath(u"Draft.txt"_qs);
        QCOMPARE(TestFiles::contents(saved), QByteArray("buy milk"));
    } else {
        QCOMPARE(customTitle(renamed), u"Draft"_qs);
    }
    settle();
    QVERIFY(!m_view->findChild<RenameField *>());
    QVERIFY(closed ? !m_view->cell(renamedId) : bool(m_view->cell(renamedId)->hitView()));
    QVERIFY(m_view->editor()->textView()->hasFocus()); // typing goes back to the note
}

void tst_ContentView::theRenameStaysInProgressWhen_data()
{
    QTest::addColumn<bool>("closeAnother");
    QTest::newRow("the note takes the focus") << false;
    QTest::newRow("another tab is closed") << true;
}

void tst_ContentView::theRenameStaysInProgressWhen()
{
    QFETCH(bool, closeAnother);
    addTabs(1);
    startRename(0);
    QTest::keyClicks(field(0), u"Keep"_qs);
    WispenTextView *note = m_view->editor()->textView();
    if (closeAnother)
        QTest::mouseClick(cell(1)->closeButton(), Qt::LeftButton);
    else
        QTest::mouseClick(note->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    settle();
    QCOMPARE(m_view->renamingTabId(), tabId(0));
    QCOMPARE(field(0)->text(), u"Keep"_qs);
    QCOMPARE(customTitle(0), u"Keep"_qs);
    QVERIFY(closeAnother || note->hasFocus());
}

void tst_ContentView::aRenamingTabClosedElsewhereShowsNoFieldAndFinalizesQuietly()
{
    addTabs(1);
    startRename(1);
    m_session->closeTab(tabId(1));
    settle();
    QVERIFY(!m_view->findChild<RenameField *>());
    QTest::mouseClick(m_view->addButton(), Qt::LeftButton);
    QVERIFY(!m_view->renamingTabId());
    QCOMPARE(m_session->tabs().size(), 2);
}

void tst_ContentView::aClickSelectsAfterTheDelayFromTheLastPressEvenAcrossARefresh()
{
    addTabs(1);
    TabCell *first = cell(0);
    auto *label = first->hitView()->findChild<TextLabel *>();
    QCOMPARE(label->level(), UiStyle::Level::Secondary);
    click(0);
    QTest::qWait(100);
    QElapsedTimer sinceLastPress;
    sinceLastPress.start();
    click(0); // moves the deadline
    m_session->updateActiveTabText(u"typing meanwhile"_qs);
    settle();
    QCOMPARE(cell(0), first);
    QCOMPARE(m_session->selectedTabId(), tabId(1));
    QTRY_COMPARE(m_session->selectedTabId(), tabId(0));
    QVERIFY(sinceLastPress.elapsed() >= TabTitleLabel::TitleHitView::singleClickDelay.count());
    settle();
    QVERIFY(first->isSelected() && !cell(1)->isSelected());
    // The same label, restyled for the selected tab.
    QCOMPARE(first->hitView()->findChild<TextLabel *>(), label);
    QCOMPARE(label->level(), UiStyle::Level::Primary);
    QCOMPARE(label->font().weight(), QFont::DemiBold);
}

void tst_ContentView::aLongTitleIsCutAndAShortOneStillGetsTheMinimumWidth()
{
    addTabs(1);
    m_session->updateTabTitleDraft(tabId(0), u"A title far too long to fit into one tab cell"_qs);
    m_session->updateTabTitleDraft(tabId(1), u"A"_qs);
    settle();
    QWidget *cut = cell(0)->hitView();
    QTRY_COMPARE(cut->width(), cut->maximumWidth());
    QVERIFY(cut->findChild<TextLabel *>()->displayedText().endsWith(QChar(0x2026)));
    QTRY_COMPARE(cell(1)->hitView()->width(), cell(1)->hitView()->minimumWidth());
}

WISPEN_TEST_MAIN(tst_ContentView)
#include "tst_contentview.moc"
