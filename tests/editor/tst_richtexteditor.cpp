#include "editordriver.h"
#include "testmain.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>

using namespace EditorDriver;

// The editor binds its text view to the session: the tab's text follows every edit exactly, in
// the note's own line endings and without the whole text being read (tst_linebreaks walks
// that at random), and the view follows the selected tab.
class tst_RichTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_editor.emplace(); }
    void cleanup() { m_editor.reset(); }

    void aTabOutOfStepWithTheViewIsReadWholeOnTheNextEdit();
    void theViewReloadsInDefaultAttributesOnlyWhenAnotherTabIsSelected();
    void theTextInsetScrollsWithTheTextAndSurvivesReloads();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_RichTextEditor::aTabOutOfStepWithTheViewIsReadWholeOnTheNextEdit()
{
    setText(m_editor->view, u"put in behind the session's back"_qs);
    type(m_editor->view, u"!"_qs);
    QCOMPARE(m_editor->session.activeTabPlainText(), u"!put in behind the session's back"_qs);
}

void tst_RichTextEditor::theViewReloadsInDefaultAttributesOnlyWhenAnotherTabIsSelected()
{
    NoteSession &session = m_editor->session;
    WispenTextView *view = m_editor->view;
    const QUuid first = session.selectedTabId();
    QTest::keyClicks(view, u"first"_qs);
    select(view, 0, 2);
    makeSelectionBold(view);
    alignCaretParagraph(view, Qt::AlignRight);
    session.updateFormattingState();
    session.setCopyPreservesLineBreaks(false);
    QCoreApplication::processEvents();
    QCOMPARE(marked(view), u"[fi]rst"_qs);
    QVERIFY(session.isBold());
    QVERIFY(view->document()->isUndoAvailable());

    session.addTab();
    QTRY_COMPARE(view->plainText(), QString());
    QTest::keyClicks(view, u"second"_qs);
    view->clearFocus();
    session.selectTab(first);

    QTRY_COMPARE(view->plainText(), u"first"_qs);
    QVERIFY(!view->characterFormatAt(0).font().bold());
    QCOMPARE(view->document()->firstBlock().blockFormat().alignment(), Qt::AlignLeft);
    QCOMPARE(view->currentCharFormat().fontPointSize(), 11.0);
    QVERIFY(!session.isBold());
    QCOMPARE(session.alignment(), Qt::AlignLeft);
    QCOMPARE(session.cachedText(), u"first"_qs);
    QCOMPARE(session.tabs().at(1).cachedText, u"second"_qs);
    QVERIFY(!view->document()->isUndoAvailable());
    QTRY_VERIFY(view->hasFocus());

    // A tab that is not there cannot be selected: the view keeps its note.
    session.selectTab(QUuid::createUuid());
    QCOMPARE(session.selectedTabId(), first);
    QCOMPARE(view->plainText(), u"first"_qs);

    // Once the view is gone, the session keeps the text the view last had.
    m_editor->editor.reset();
    QCOMPARE(session.textView(), nullptr);
    session.flushActiveTabFromTextView();
    QCOMPARE(session.currentText(), u"first"_qs);
}

void tst_RichTextEditor::theTextInsetScrollsWithTheTextAndSurvivesReloads()
{
    WispenTextView *view = m_editor->view;
    const auto firstCaret = [view] { return view->cursorRect(QTextCursor(view->document())); };
    const QPoint empty = firstCaret().topLeft();
    QCOMPARE(empty.x(), WispenTextView::horizontalInset);
    QVERIFY(std::abs(empty.y() - WispenTextView::verticalInset) <= 2);

    m_editor->session.addTab();
    QTRY_VERIFY(view->document()->rootFrame()->frameFormat().leftMargin() > 0);
    setText(view, QString(200, u'\n'));
    QCOMPARE(firstCaret().topLeft(), empty);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QVERIFY(firstCaret().top() < 0);
    const QRect last = view->cursorRect(QTextCursor(view->document()->lastBlock()));
    QCOMPARE(view->viewport()->height() - last.bottom() - 1, WispenTextView::verticalInset);
}

WISPEN_TEST_MAIN(tst_RichTextEditor)
#include "tst_richtexteditor.moc"
