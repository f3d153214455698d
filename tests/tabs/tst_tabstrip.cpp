#include "editor/findbar.h"
#include "editordriver.h"
#include "formatting/formattingpanel.h"
#include "tabs/contentview.h"
#include "tabs/renamefield.h"
#include "tabs/tabcell.h"
#include "testfiles.h"
#include "testmain.h"
#include "ui/symbolbutton.h"
#include "ui/textlabel.h"
#include "ui/verticalscroller.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>

// The row of tabs as a person uses it: renaming in place, selecting by a click once a double
// click is ruled out, the selected tab always in view, tabs moved by dragging and by keyboard,
// closed tabs brought back, and the keyboard's way through the window.
class tst_TabStrip : public QObject
{
    Q_OBJECT

public:
    // What meets a rename in progress: a click in the note, the close button of another tab,
    // and the last three close the renamed tab, the last of them from outside the strip.
    enum class Leave { Return, Click, Next, Back, Add, Note, Other, CloseButton, CloseTab, Gone };

private Q_SLOTS:
    void init();

    void typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle_data();
    void typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle();
    void aClickSelectsAfterTheDelayFromTheLastPressADoubleClickRenamesInstead();
    void aSmallWindowCutsLongTitlesAndKeepsTheSelectedTabAndThePanelInReach();
    void tabsMoveByKeyboardAndByDraggingAndKeepTheSelection();
    void closedTabsComeBackMostRecentFirstBoundToWhereTheirNoteWent();
    void eachTabKeepsItsCaretSelectionAndScrollPosition();
    void f6WalksTheKeyboardThroughEveryPartOfTheWindow();

private:
    WispenTextView *note() const { return m_view->editor()->textView(); }
    QUuid tabId(int index) const { return m_session->tabs().at(index).id; }
    TabCell *cell(int index) const { return m_view->cell(tabId(index)); }
    RenameField *field(int index) const { return cell(index)->renameField(); }
    auto customTitle(int index) const { return m_session->tabs().at(index).customTitle; }
    void addTabs(int count) const { addTabs(QStringList(count)); }
    void addTabs(const QStringList &titles) const
    {
        for (const QString &title : titles) {
            m_session->addTab();
            m_session->updateTabTitleDraft(m_session->selectedTabId(), title);
            m_session->commitTabTitle(m_session->selectedTabId());
        }
        settle();
    }
    // The refresh after a change, then the focus and the scrolling that follow it.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    QStringList titles() const
    {
        QStringList list;
        for (const EditorTab &tab : m_session->tabs())
            list << m_session->title(tab);
        return list;
    }
    // Replaces the note on screen, as typing over a selection of all of it does.
    void typeNote(const QString &text) const
    {
        note()->selectAll();
        note()->insertPlainText(text);
    }
    // Whether all of the widget shows in the scroll area that holds it.
    static bool isShown(const QWidget *widget)
    {
        const QWidget *area = widget;
        while (!qobject_cast<const QScrollArea *>(area = area->parentWidget())) { }
        const QWidget *viewport = static_cast<const QScrollArea *>(area)->viewport();
        return viewport->rect().contains(QRect(widget->mapTo(viewport, QPoint()), widget->size()));
    }
    bool isShown(const QUuid &id) const { return isShown(m_view->cell(id)); }
    void click(int index, bool twice = false) const;
    void startRename(int index) const;

    // The view goes before the session it shows, here and in init().
    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<ContentView> m_view;
};

void tst_TabStrip::init()
{
    m_view.reset();
    QDir(TestFiles::desktop()).removeRecursively();
    m_session = std::make_unique<NoteSession>();
    m_view = std::make_unique<ContentView>(*m_session);
    m_view->resize(900, 600);
    m_view->show();
    QApplication::setActiveWindow(m_view.get());
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
}

void tst_TabStrip::click(int index, bool twice) const
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

void tst_TabStrip::startRename(int index) const
{
    click(index, true);
    QTRY_VERIFY(field(index) && field(index)->hasFocus());
}

void tst_TabStrip::typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle_data()
{
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<int>("renamed"); // of three tabs, and selected
    QTest::addColumn<int>("selected"); // afterwards, or -1 while the rename goes on

    QTest::newRow("Return") << Leave::Return << 1 << 1;
    QTest::newRow("click on another title") << Leave::Click << 2 << 0;
    QTest::newRow("next tab, wrapping to the first") << Leave::Next << 2 << 0;
    QTest::newRow("previous tab, wrapping to the last") << Leave::Back << 0 << 2;
    QTest::newRow("add button") << Leave::Add << 1 << 3;
    QTest::newRow("close button, saving under the title") << Leave::CloseButton << 1 << 0;
    QTest::newRow("close tab command, saving under the title") << Leave::CloseTab << 1 << 0;
    QTest::newRow("closed elsewhere, then the add button") << Leave::Gone << 1 << 2;
    QTest::newRow("the note takes the focus: goes on") << Leave::Note << 1 << -1;
    QTest::newRow("another tab is closed: goes on") << Leave::Other << 1 << -1;
}

void tst_TabStrip::typingRenamesAsYouGoAndEveryWayOutCommitsTheTrimmedTitle()
{
    QFETCH(Leave, leave);
    QFETCH(int, renamed);
    QFETCH(int, selected);
    addTabs(2);
    m_session->selectTab(tabId(renamed));
    QTest::keyClicks(note(), u"buy milk"_qs);
    m_session->updateTabTitleDraft(tabId(renamed), u"  Plan "_qs);
    settle();
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);
    startRename(renamed);
    RenameField *typedInto = field(renamed);
    QCOMPARE(typedInto->text(), u"  Plan "_qs); // the stored title, as it was typed
    QTest::keyClicks(typedInto, u" Draft "_qs); // over all of it
    QCOMPARE(sessionChanges.count(), 7); // one for each key, none for opening the field
    QCOMPARE(customTitle(renamed), u" Draft "_qs);
    settle();
    QCOMPARE(field(renamed), typedInto); // the refreshes keep the field and its focus
    QVERIFY(typedInto->hasFocus());
    const QUuid renamedId = tabId(renamed);

    if (leave == Leave::Return)
        QTest::keyClick(typedInto, Qt::Key_Return);
    else if (leave == Leave::Click)
        click(selected);
    else if (leave == Leave::Next || leave == Leave::Back)
        m_view->selectTabAtOffset(leave == Leave::Next ? 1 : -1);
    else if (leave == Leave::Add)
        QTest::mouseClick(m_view->addButton(), Qt::LeftButton);
    else if (leave == Leave::CloseButton || leave == Leave::Other)
        QTest::mouseClick(
            cell(leave == Leave::CloseButton ? renamed : 2)->closeButton(), Qt::LeftButton);
    else if (leave == Leave::Note)
        QTest::mouseClick(note()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    else if (leave == Leave::CloseTab)
        m_view->closeSelectedTab();
    else {
        m_session->closeTab(renamedId);
        settle();
        QVERIFY(!m_view->findChild<RenameField *>());
        QTest::mouseClick(m_view->addButton(), Qt::LeftButton); // ends the rename quietly
    }
    if (selected < 0) {
        settle();
        QCOMPARE(m_view->renamingTabId(), renamedId);
        QCOMPARE(field(renamed)->text(), u" Draft "_qs);
        QCOMPARE(customTitle(renamed), u" Draft "_qs);
        QVERIFY(leave == Leave::Other || note()->hasFocus());
        return;
    }
    if (leave == Leave::Click)
        QCOMPARE(m_view->renamingTabId(), renamedId); // until the select runs
    QTRY_COMPARE(m_session->selectedTabId(), tabId(selected));
    QVERIFY(!m_view->renamingTabId());
    const bool closed = leave >= Leave::CloseButton;
    if (closed) {
        const QString saved = QDir(TestFiles::desktop()).filePath(u"Draft.txt"_qs);
        QCOMPARE(TestFiles::contents(saved), QByteArray("buy milk"));
    } else {
        QCOMPARE(customTitle(renamed), u"Draft"_qs);
    }
    settle();
    QVERIFY(!m_view->findChild<RenameField *>());
    QVERIFY(closed ? !m_view->cell(renamedId) : bool(m_view->cell(renamedId)->hitView()));
    QVERIFY(note()->hasFocus()); // typing goes back to the note
}

void tst_TabStrip::aClickSelectsAfterTheDelayFromTheLastPressADoubleClickRenamesInstead()
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

    // A double click on the background tab while this one is renamed moves the rename there.
    startRename(0);
    QTest::keyClicks(field(0), u" first "_qs);
    settle();
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);
    click(1, true);
    QCOMPARE(m_view->renamingTabId(), tabId(1));
    QTRY_VERIFY(field(1) && field(1)->hasFocus());
    QVERIFY(!cell(1)->hitView());
    QCOMPARE(field(1)->text(), QString()); // untitled
    QCOMPARE(sessionChanges.count(), 0);
    QCOMPARE(customTitle(0), u" first "_qs); // left as typed, not committed
    QVERIFY(!field(0));
    QTest::qWait(TabTitleLabel::TitleHitView::singleClickDelay.count() + 100);
    QCOMPARE(m_session->selectedTabId(), tabId(0)); // its first press selected nothing
}

void tst_TabStrip::aSmallWindowCutsLongTitlesAndKeepsTheSelectedTabAndThePanelInReach()
{
    m_view->resize(420, 300); // as the default window's content at zoom 2.0
    addTabs({ u"A title far too long to fit into one tab cell"_qs, u"A"_qs, u"charlie"_qs,
        u"delta"_qs, u"echo"_qs, u"foxtrot"_qs, u"golf"_qs, u"hotel"_qs });
    QWidget *cut = cell(1)->hitView(), *shortest = cell(2)->hitView();
    QTRY_COMPARE(cut->width(), cut->maximumWidth());
    QVERIFY(cut->findChild<TextLabel *>()->displayedText().endsWith(QChar(0x2026)));
    QTRY_COMPARE(shortest->width(), shortest->minimumWidth());

    QTRY_VERIFY(isShown(m_session->selectedTabId())); // after adding
    QVERIFY(!isShown(tabId(0)));
    m_view->selectTabAtOffset(1); // wraps to the first
    QTRY_VERIFY(isShown(tabId(0)));
    m_view->selectTabAtOffset(-1);
    QTRY_VERIFY(isShown(m_session->tabs().last().id));

    // The panel scrolls to its last button, and no scroll bar takes its width.
    auto *scroller = m_view->findChild<VerticalScroller *>();
    QWidget *info = m_view->panel()->infoButton();
    QCOMPARE(scroller->width(), m_view->panel()->width());
    QVERIFY(!isShown(info));
    const QPoint middle = scroller->viewport()->rect().center();
    QWheelEvent wheel(middle, scroller->viewport()->mapToGlobal(middle), {}, { 0, -600 },
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroller->viewport(), &wheel);
    QVERIFY(isShown(info));
    m_view->resize(420, 900);
    QTRY_COMPARE(scroller->verticalScrollBar()->maximum(), 0);
}

void tst_TabStrip::tabsMoveByKeyboardAndByDraggingAndKeepTheSelection()
{
    m_session->updateTabTitleDraft(tabId(0), u"A"_qs);
    addTabs({ u"B"_qs, u"C"_qs });
    m_view->moveSelectedTab(-1);
    QCOMPARE(titles(), (QStringList { u"A"_qs, u"C"_qs, u"B"_qs }));
    m_view->moveSelectedTab(-5); // stops at the end
    QCOMPARE(titles(), (QStringList { u"C"_qs, u"A"_qs, u"B"_qs }));
    QCOMPARE(m_session->selectedTabId(), tabId(0));
    settle();

    // Dragging C by its close button over B's place; the release closes nothing.
    QWidget *handle = cell(0)->closeButton();
    TabCell *last = cell(2);
    QTest::mousePress(handle, Qt::LeftButton, {}, handle->rect().center());
    const QPoint over
        = handle->mapFromGlobal(last->mapToGlobal(last->rect().center() + QPoint(10, 0)));
    QMouseEvent move(QEvent::MouseMove, over, handle->mapToGlobal(over), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    settle();
    QTest::mouseRelease(handle, Qt::LeftButton, {}, over);
    settle();
    QCOMPARE(titles(), (QStringList { u"A"_qs, u"B"_qs, u"C"_qs }));
}

void tst_TabStrip::closedTabsComeBackMostRecentFirstBoundToWhereTheirNoteWent()
{
    const QTemporaryDir dir;
    const QString own = dir.filePath(u"own.txt"_qs);
    QVERIFY(TestFiles::write(own, "from the file"));
    m_session->loadFile(QUrl::fromLocalFile(own));
    typeNote(u"edited file"_qs);
    addTabs({ u"Plan"_qs });
    typeNote(u"a plan"_qs);
    m_session->addTab(); // blank: closing it leaves nothing to reopen
    m_view->closeSelectedTab();
    m_view->closeSelectedTab();
    m_view->closeSelectedTab();
    QCOMPARE(TestFiles::desktopFiles(), QStringList { u"Plan.txt"_qs });
    QCOMPARE(TestFiles::contents(own), "edited file");

    m_view->reopenClosedTab();
    QCOMPARE(m_session->currentText(), u"edited file"_qs);
    QCOMPARE(m_session->openedFileURL(), QUrl::fromLocalFile(own));
    m_view->reopenClosedTab();
    QCOMPARE(m_session->currentText(), u"a plan"_qs);
    QCOMPARE(m_session->title(m_session->tabs().last()), u"Plan"_qs);
    QCOMPARE(m_session->selectedTabId(), m_session->tabs().last().id);
    QVERIFY(!m_session->canReopenClosedTab());

    // Its note went to Plan.txt, and goes on there: closing again writes no second file.
    typeNote(u"a better plan"_qs);
    m_view->closeSelectedTab();
    QCOMPARE(TestFiles::desktopFiles(), QStringList { u"Plan.txt"_qs });
    QCOMPARE(TestFiles::contents(TestFiles::desktop() + u"/Plan.txt"_qs), "a better plan");
}

void tst_TabStrip::eachTabKeepsItsCaretSelectionAndScrollPosition()
{
    typeNote(QStringList(200, u"a line of the first note"_qs).join(u'\n'));
    EditorDriver::select(note(), 3000, 2990);
    const int scrolled = note()->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    const QUuid first = m_session->selectedTabId();
    m_view->addTab();
    QCOMPARE(note()->textCursor().position(), 0); // a new tab starts at the top
    typeNote(u"short"_qs);
    m_session->selectTab(first);
    QCOMPARE(note()->textCursor().anchor(), 3000);
    QCOMPARE(note()->textCursor().position(), 2990);
    QCOMPARE(note()->verticalScrollBar()->value(), scrolled);
    QTest::keyClicks(note(), u"x"_qs); // typing after a switch goes where the caret was
    QCOMPARE(m_session->currentText().mid(2990, 2), u"xa"_qs);
    m_view->selectTabAtOffset(1);
    QCOMPARE(note()->textCursor().position(), 5); // where typing "short" left it
}

void tst_TabStrip::f6WalksTheKeyboardThroughEveryPartOfTheWindow()
{
    note()->setFocus();
    m_view->focusPane(1); // the panel's first button, drawn with a focus ring
    QCOMPARE(QApplication::focusWidget(), m_view->panel()->button(FormattingCommand::Bold));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_view->panel()->button(FormattingCommand::Italic));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // pressed from the keyboard
    QCOMPARE(m_session->isItalic(), true);
    QCOMPARE(QApplication::focusWidget(), note()); // back to the note, to go on typing
    m_view->focusPane(-1);
    QCOMPARE(QApplication::focusWidget(), m_view->addButton());
    m_view->openFind(false);
    m_view->addButton()->setFocus();
    m_view->focusPane(1);
    QCOMPARE(QApplication::focusWidget(), m_view->findBar()->findField());
    m_view->focusPane(1);
    QCOMPARE(QApplication::focusWidget(), note());
}

WISPEN_TEST_MAIN(tst_TabStrip)
#include "tst_tabstrip.moc"
