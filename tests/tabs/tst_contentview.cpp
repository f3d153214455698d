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

#include <QDir>
#include <QSignalSpy>
#include <memory>

class tst_ContentView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void doubleClickOpensTheFieldWithTheStoredTitleAndFocusesItOneTurnLater_data();
    void doubleClickOpensTheFieldWithTheStoredTitleAndFocusesItOneTurnLater();
    void aSingleClickSelectsAfterTheDelayEvenAcrossARefreshOfTheTabBar();
    void closingTheOnlyTabLeavesOneBlankTab();
    void eachEditReachesTheSessionOnce();
    void returnCommitsTheTitleAndBringsBackTheLabel();
    void singleClickOnAnotherTabCommitsTheRenameThenSelects();
    void addButtonCommitsTheRenameThenAdds();
    void closingTheRenamingTabSavesItUnderTheCommittedTitle_data();
    void closingTheRenamingTabSavesItUnderTheCommittedTitle();
    void closingAnotherTabLeavesTheRenameInProgress();
    void doubleClickOnAnotherTabMovesTheFieldWithoutCommitting();
    void focusLeavingTheFieldLeavesTheRenameInProgress();
    void aRenamingTabClosedElsewhereShowsNoFieldAndFinalizesQuietly();
    void nextAndPreviousTabCommandsWrapAndCommitTheRename();
    void aLongTitleIsCutAndAShortOneStillGetsTheMinimumWidth();

private:
    QUuid tabId(int index) const { return m_session->tabs().at(index).id; }
    TabCell *cell(int index) const { return m_view->cell(tabId(index)); }
    void settle() const;
    void pressTitle(int index) const;
    void doubleClickTitle(int index) const;
    void startRename(int index) const;
    std::optional<QString> customTitle(int index) const
    {
        return m_session->tabs().at(index).customTitle;
    }

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

void tst_ContentView::settle() const
{
    // Two turns: the refresh after a change, then the focus that follows it.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void tst_ContentView::pressTitle(int index) const
{
    QWidget *hitView = cell(index)->hitView();
    QTest::mousePress(hitView, Qt::LeftButton, {}, hitView->rect().center());
    QTest::mouseRelease(hitView, Qt::LeftButton, {}, hitView->rect().center());
}

void tst_ContentView::doubleClickTitle(int index) const
{
    // What the platform delivers for a double click: press, release, press, double click.
    QWidget *hitView = cell(index)->hitView();
    const QPoint middle = hitView->rect().center();
    QTest::mousePress(hitView, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(hitView, Qt::LeftButton, {}, middle);
    QTest::mousePress(hitView, Qt::LeftButton, {}, middle);
    QTest::mouseDClick(hitView, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(hitView, Qt::LeftButton, {}, middle);
}

void tst_ContentView::startRename(int index) const
{
    doubleClickTitle(index);
    QTRY_VERIFY(cell(index)->renameField());
    QTRY_VERIFY(cell(index)->renameField()->hasFocus());
}

void tst_ContentView::doubleClickOpensTheFieldWithTheStoredTitleAndFocusesItOneTurnLater_data()
{
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<QString>("opening");

    QTest::newRow("no custom title") << std::optional<QString>() << QString();
    QTest::newRow("custom title with spaces")
        << std::optional<QString>(u"  Plan "_qs) << u"  Plan "_qs;
}

void tst_ContentView::doubleClickOpensTheFieldWithTheStoredTitleAndFocusesItOneTurnLater()
{
    QFETCH(std::optional<QString>, stored);
    QFETCH(QString, opening);
    if (stored)
        m_session->updateTabTitleDraft(tabId(0), *stored);
    settle();
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);

    doubleClickTitle(0);
    QCOMPARE(m_view->renamingTabId(), tabId(0));
    QCOMPARE(m_view->renameDraft(), opening);
    QVERIFY(!m_view->isRenameFieldFocused());
    QCoreApplication::processEvents(); // the refresh puts the field on screen
    RenameField *field = cell(0)->renameField();
    QVERIFY(field);
    QVERIFY(!cell(0)->hitView());
    QCOMPARE(field->text(), opening);
    QCOMPARE(field->placeholderText(), u"Untitled"_qs);
    QTRY_VERIFY(m_view->isRenameFieldFocused());
    QVERIFY(field->hasFocus());
    QCOMPARE(sessionChanges.count(), 0);
    QCOMPARE(customTitle(0), stored);
}

void tst_ContentView::aSingleClickSelectsAfterTheDelayEvenAcrossARefreshOfTheTabBar()
{
    m_session->addTab();
    settle();
    TabCell *first = cell(0);
    QElapsedTimer clock;
    clock.start();
    pressTitle(0);
    QCOMPARE(m_session->selectedTabId(), tabId(1));
    m_session->updateActiveTabText(u"typing meanwhile"_qs);
    settle();
    QCOMPARE(cell(0), first);
    QTRY_COMPARE(m_session->selectedTabId(), tabId(0));
    QVERIFY(clock.elapsed() >= 220);
    QVERIFY(!m_view->renamingTabId());
}

void tst_ContentView::closingTheOnlyTabLeavesOneBlankTab()
{
    const QUuid only = tabId(0);
    QVERIFY(cell(0)->closeButton()->isVisible());
    QTest::mouseClick(cell(0)->closeButton(), Qt::LeftButton);
    QCOMPARE(m_session->tabs().size(), 1);
    QVERIFY(tabId(0) != only);
    settle();
    QVERIFY(!m_view->cell(only));
    QVERIFY(cell(0)->isSelected());
}

void tst_ContentView::eachEditReachesTheSessionOnce()
{
    startRename(0);
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);
    QTest::keyClick(cell(0)->renameField(), Qt::Key_A);
    QCOMPARE(customTitle(0), u"a"_qs);
    QTest::keyClick(cell(0)->renameField(), Qt::Key_B);
    QCOMPARE(customTitle(0), u"ab"_qs);
    QCOMPARE(sessionChanges.count(), 2);
    QCOMPARE(m_view->renameDraft(), u"ab"_qs);
    settle();
    QCOMPARE(cell(0)->renameField()->text(), u"ab"_qs);
}

void tst_ContentView::returnCommitsTheTitleAndBringsBackTheLabel()
{
    startRename(0);
    QTest::keyClicks(cell(0)->renameField(), u" Plan "_qs);
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);
    QTest::keyClick(cell(0)->renameField(), Qt::Key_Return);
    QCOMPARE(sessionChanges.count(), 1);
    QCOMPARE(customTitle(0), u"Plan"_qs);
    QVERIFY(!m_view->renamingTabId());
    QVERIFY(!m_view->isRenameFieldFocused());
    settle();
    QVERIFY(!cell(0)->renameField());
    QVERIFY(cell(0)->hitView());
    // Typing goes back to the note.
    QVERIFY(m_view->editor()->textView()->hasFocus());
}

void tst_ContentView::singleClickOnAnotherTabCommitsTheRenameThenSelects()
{
    m_session->addTab();
    settle();
    startRename(1);
    QTest::keyClicks(cell(1)->renameField(), u"Draft  "_qs);
    pressTitle(0);
    QCOMPARE(m_view->renamingTabId(), tabId(1));
    QCOMPARE(customTitle(1), u"Draft  "_qs);
    QTRY_COMPARE(m_session->selectedTabId(), tabId(0));
    QCOMPARE(customTitle(1), u"Draft"_qs);
    QVERIFY(!m_view->renamingTabId());
    settle();
    QVERIFY(!cell(1)->renameField());
}

void tst_ContentView::addButtonCommitsTheRenameThenAdds()
{
    startRename(0);
    QTest::keyClicks(cell(0)->renameField(), u"  "_qs);
    QTest::mouseClick(m_view->addButton(), Qt::LeftButton);
    QCOMPARE(customTitle(0), std::nullopt);
    QVERIFY(!m_view->renamingTabId());
    QCOMPARE(m_session->tabs().size(), 2);
    QCOMPARE(m_session->selectedTabId(), tabId(1));
}

void tst_ContentView::closingTheRenamingTabSavesItUnderTheCommittedTitle_data()
{
    QTest::addColumn<bool>("byCommand");
    QTest::newRow("close button") << false;
    QTest::newRow("close tab command") << true;
}

void tst_ContentView::closingTheRenamingTabSavesItUnderTheCommittedTitle()
{
    QFETCH(bool, byCommand);
    QTest::keyClicks(m_view->editor()->textView(), u"buy milk"_qs);
    m_session->addTab();
    if (byCommand)
        m_session->selectTab(tabId(0));
    settle();
    startRename(0);
    QTest::keyClicks(cell(0)->renameField(), u" Shopping "_qs);
    if (byCommand)
        m_view->closeSelectedTab();
    else
        QTest::mouseClick(cell(0)->closeButton(), Qt::LeftButton);
    QVERIFY(!m_view->renamingTabId());
    QVERIFY(!m_view->isRenameFieldFocused());
    QCOMPARE(m_session->tabs().size(), 1);
    const QString saved = QDir(TestFiles::desktop()).filePath(u"Shopping.txt"_qs);
    QCOMPARE(TestFiles::contents(saved), QByteArray("buy milk"));
}

void tst_ContentView::closingAnotherTabLeavesTheRenameInProgress()
{
    m_session->addTab();
    settle();
    startRename(0);
    QTest::keyClicks(cell(0)->renameField(), u"Keep"_qs);
    const QUuid renaming = tabId(0);
    QTest::mouseClick(cell(1)->closeButton(), Qt::LeftButton);
    settle();
    QCOMPARE(m_session->tabs().size(), 1);
    QCOMPARE(m_view->renamingTabId(), renaming);
    QCOMPARE(cell(0)->renameField()->text(), u"Keep"_qs);
    QCOMPARE(customTitle(0), u"Keep"_qs);
}

void tst_ContentView::doubleClickOnAnotherTabMovesTheFieldWithoutCommitting()
{
    m_session->addTab();
    m_session->updateTabTitleDraft(tabId(1), u"Ideas"_qs);
    settle();
    startRename(0);
    QTest::keyClicks(cell(0)->renameField(), u" first "_qs);
    doubleClickTitle(1);
    QCOMPARE(m_view->renamingTabId(), tabId(1));
    QCOMPARE(m_view->renameDraft(), u"Ideas"_qs);
    QCOMPARE(customTitle(0), u" first "_qs); // not committed
    QTRY_VERIFY(cell(1)->renameField() && cell(1)->renameField()->hasFocus());
    QVERIFY(!cell(0)->renameField());
    QCOMPARE(cell(1)->renameField()->text(), u"Ideas"_qs);
}

void tst_ContentView::focusLeavingTheFieldLeavesTheRenameInProgress()
{
    startRename(0);
    QTest::keyClicks(cell(0)->renameField(), u"Half"_qs);
    WispenTextView *editor = m_view->editor()->textView();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    editor->setFocus();
    settle();
    QVERIFY(editor->hasFocus());
    QVERIFY(!m_view->isRenameFieldFocused());
    QCOMPARE(m_view->renamingTabId(), tabId(0));
    QCOMPARE(cell(0)->renameField()->text(), u"Half"_qs);
}

void tst_ContentView::aRenamingTabClosedElsewhereShowsNoFieldAndFinalizesQuietly()
{
    m_session->addTab();
    settle();
    startRename(1);
    const QUuid gone = tabId(1);
    m_session->closeTab(gone);
    settle();
    QCOMPARE(m_view->renamingTabId(), gone);
    QVERIFY(!cell(0)->renameField());
    QTest::mouseClick(m_view->addButton(), Qt::LeftButton);
    QVERIFY(!m_view->renamingTabId());
    QCOMPARE(m_session->tabs().size(), 2);
}

void tst_ContentView::nextAndPreviousTabCommandsWrapAndCommitTheRename()
{
    m_session->addTab();
    m_session->addTab();
    settle();
    m_view->selectTabAtOffset(1);
    QCOMPARE(m_session->selectedTabId(), tabId(0));
    m_view->selectTabAtOffset(-1);
    QCOMPARE(m_session->selectedTabId(), tabId(2));
    settle();
    startRename(2);
    QTest::keyClicks(cell(2)->renameField(), u" Third"_qs);
    m_view->selectTabAtOffset(-1);
    QCOMPARE(m_session->selectedTabId(), tabId(1));
    QCOMPARE(customTitle(2), u"Third"_qs);
    QVERIFY(!m_view->renamingTabId());
}

void tst_ContentView::aLongTitleIsCutAndAShortOneStillGetsTheMinimumWidth()
{
    m_session->updateTabTitleDraft(tabId(0), u"A title far too long to fit into one tab cell"_qs);
    m_session->addTab();
    m_session->updateTabTitleDraft(tabId(1), u"A"_qs);
    settle();
    QTRY_COMPARE(cell(0)->hitView()->width(), 160);
    const auto *label = cell(0)->hitView()->findChild<TextLabel *>();
    QVERIFY(label->displayedText().endsWith(QChar(0x2026)));
    QTRY_COMPARE(cell(1)->hitView()->width(), 48);
}

WISPEN_TEST_MAIN(tst_ContentView)
#include "tst_contentview.moc"
