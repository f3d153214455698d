#include "editor/findbar.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "formatting/formattingcommand.h"
#include "formatting/formattingpanel.h"
#include "session/notesession.h"
#include "tabs/contentview.h"
#include "tabs/tabcell.h"
#include "testfiles.h"
#include "testmain.h"
#include "ui/symbolbutton.h"
#include "ui/verticalscroller.h"

#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

// The row of tabs as a person arranges it: the selected tab always in view, tabs moved by
// dragging and by keyboard, and closed tabs brought back.
class tst_TabStrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void theSelectedTabStaysInViewOfANarrowWindow();
    void tabsMoveByKeyboardAndByDraggingAndKeepTheSelection();
    void closedTabsComeBackMostRecentFirstBoundToWhereTheirNoteWent();
    void thePanelScrollsToItsLastButtonInAShortWindow();
    void eachTabKeepsItsCaretSelectionAndScrollPosition();
    void f6WalksTheKeyboardThroughEveryPartOfTheWindow();

private:
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
        WispenTextView *view = m_view->editor()->textView();
        view->selectAll();
        view->insertPlainText(text);
    }
    void addTitledTabs(const QStringList &titles)
    {
        for (const QString &title : titles) {
            m_session->addTab();
            m_session->updateTabTitleDraft(m_session->selectedTabId(), title);
            m_session->commitTabTitle(m_session->selectedTabId());
        }
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    bool isShown(const QUuid &id) const
    {
        TabCell *cell = m_view->cell(id);
        auto *strip
            = qobject_cast<QScrollArea *>(cell->parentWidget()->parentWidget()->parentWidget());
        const QRect inStrip(cell->mapTo(strip->viewport(), QPoint()), cell->size());
        return strip->viewport()->rect().contains(inStrip);
    }

    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<ContentView> m_view;
};

void tst_TabStrip::init()
{
    QDir(TestFiles::desktop()).removeRecursively();
    m_view.reset();
    m_session = std::make_unique<NoteSession>();
    m_view = std::make_unique<ContentView>(*m_session);
    m_view->resize(420, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void tst_TabStrip::theSelectedTabStaysInViewOfANarrowWindow()
{
    addTitledTabs({ u"alpha"_qs, u"bravo"_qs, u"charlie"_qs, u"delta"_qs, u"echo"_qs, u"foxtrot"_qs,
        u"golf"_qs, u"hotel"_qs });
    QTRY_VERIFY(isShown(m_session->selectedTabId())); // after adding
    const QUuid first = m_session->tabs().first().id;
    QVERIFY(!isShown(first));
    m_view->selectTabAtOffset(1); // wraps to the first
    QTRY_VERIFY(isShown(first));
    m_view->selectTabAtOffset(-1);
    QTRY_VERIFY(isShown(m_session->tabs().last().id));
}

void tst_TabStrip::tabsMoveByKeyboardAndByDraggingAndKeepTheSelection()
{
    addTitledTabs({ u"B"_qs, u"C"_qs });
    m_session->updateTabTitleDraft(m_session->tabs().first().id, u"A"_qs);
    settle();
    m_view->moveSelectedTab(-1);
    QCOMPARE(titles(), (QStringList { u"A"_qs, u"C"_qs, u"B"_qs }));
    m_view->moveSelectedTab(-5); // stops at the end
    QCOMPARE(titles(), (QStringList { u"C"_qs, u"A"_qs, u"B"_qs }));
    QCOMPARE(m_session->title(m_session->tabs().first()), u"C"_qs);
    QCOMPARE(m_session->selectedTabId(), m_session->tabs().first().id);
    settle();

    // Dragging C by its close button over B's place; the release closes nothing.
    TabCell *dragged = m_view->cell(m_session->tabs().first().id);
    TabCell *last = m_view->cell(m_session->tabs().last().id);
    QWidget *handle = dragged->closeButton();
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
    QCOMPARE(m_session->tabs().size(), 3);
}

void tst_TabStrip::closedTabsComeBackMostRecentFirstBoundToWhereTheirNoteWent()
{
    const QTemporaryDir dir;
    const QString own = dir.filePath(u"own.txt"_qs);
    QVERIFY(TestFiles::write(own, "from the file"));
    m_session->loadFile(QUrl::fromLocalFile(own));
    typeNote(u"edited file"_qs);
    addTitledTabs({ u"Plan"_qs });
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

void tst_TabStrip::thePanelScrollsToItsLastButtonInAShortWindow()
{
    // As short as the default window's content at zoom 2.0.
    m_view->resize(420, 300);
    settle();
    auto *scroller = m_view->findChild<VerticalScroller *>();
    QWidget *info = m_view->panel()->infoButton();
    const auto infoShows = [&] {
        const QRect at(info->mapTo(scroller->viewport(), QPoint()), info->size());
        return scroller->viewport()->rect().contains(at);
    };
    QCOMPARE(scroller->width(), m_view->panel()->width()); // no scroll bar takes its width
    QVERIFY(!infoShows());
    const QPoint middle = scroller->viewport()->rect().center();
    QWheelEvent wheel(middle, scroller->viewport()->mapToGlobal(middle), {}, { 0, -600 },
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroller->viewport(), &wheel);
    QVERIFY(infoShows());
    m_view->resize(420, 900);
    QTRY_COMPARE(scroller->verticalScrollBar()->maximum(), 0);
}

void tst_TabStrip::eachTabKeepsItsCaretSelectionAndScrollPosition()
{
    WispenTextView *view = m_view->editor()->textView();
    typeNote(QStringList(200, u"a line of the first note"_qs).join(u'\n'));
    QTextCursor selection(view->document());
    selection.setPosition(3000);
    selection.setPosition(2990, QTextCursor::KeepAnchor);
    view->setTextCursor(selection);
    const int scrolled = view->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    const QUuid first = m_session->selectedTabId();
    m_view->addTab();
    QCOMPARE(view->textCursor().position(), 0); // a new tab starts at the top
    typeNote(u"short"_qs);
    m_session->selectTab(first);
    QCOMPARE(view->textCursor().anchor(), 3000);
    QCOMPARE(view->textCursor().position(), 2990);
    QCOMPARE(view->verticalScrollBar()->value(), scrolled);
    QTest::keyClicks(view, u"x"_qs); // typing after a switch goes where the caret was
    QCOMPARE(m_session->currentText().mid(2990, 2), u"xa"_qs);
    m_view->selectTabAtOffset(1);
    QCOMPARE(view->textCursor().position(), 5); // where typing "short" left it
}

void tst_TabStrip::f6WalksTheKeyboardThroughEveryPartOfTheWindow()
{
    QApplication::setActiveWindow(m_view.get());
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    WispenTextView *view = m_view->editor()->textView();
    view->setFocus();
    m_view->focusPane(1); // the panel's first button, drawn with a focus ring
    QCOMPARE(QApplication::focusWidget(), m_view->panel()->button(FormattingCommand::Bold));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_view->panel()->button(FormattingCommand::Italic));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // pressed from the keyboard
    QCOMPARE(m_session->isItalic(), true);
    QCOMPARE(QApplication::focusWidget(), view); // back to the note, to go on typing
    m_view->focusPane(-1);
    QCOMPARE(QApplication::focusWidget(), m_view->addButton());
    m_view->openFind(false);
    m_view->addButton()->setFocus();
    m_view->focusPane(1);
    QCOMPARE(QApplication::focusWidget(), m_view->findBar()->findField());
    m_view->focusPane(1);
    QCOMPARE(QApplication::focusWidget(), view);
}

WISPEN_TEST_MAIN(tst_TabStrip)
#include "tst_tabstrip.moc"
