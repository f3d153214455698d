#include "editor/checklist.h"
#include "editor/richtexteditor.h"
#include "editordriver.h"
#include "testmain.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTextFrame>

using namespace EditorDriver;

class tst_RichTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theViewShowsTheActiveTabAndTakesTheFocus();
    void changesWithTheSameSelectedTabNeverReloadTheView();
    void selectingAnotherTabReloadsItsTextInDefaultAttributes();
    void anUnknownSelectedTabShowsTheMirroredText();
    void typingOneCharacterUpdatesTheTabOnceWithTheWholeText();
    void theTextInsetScrollsWithTheTextAndSurvivesReloads();
};

void tst_RichTextEditor::theViewShowsTheActiveTabAndTakesTheFocus()
{
    NoteSession session;
    session.updateActiveTabText(u"first note"_qs);
    RichTextEditor editor(session);
    show(&editor);
    QCOMPARE(editor.textView()->plainText(), u"first note"_qs);
    QCOMPARE(session.textView(), editor.textView());
    QVERIFY(!editor.textView()->horizontalScrollBar()->isVisible());
    QCOMPARE(editor.textView()->currentCharFormat().fontPointSize(), 11.0);
}

void tst_RichTextEditor::changesWithTheSameSelectedTabNeverReloadTheView()
{
    NoteSession session;
    RichTextEditor editor(session);
    show(&editor);
    WispenTextView *view = editor.textView();
    QTest::keyClicks(view, u"abc"_qs);
    select(view, 0, 2);
    EditorDriver::makeSelectionBold(view);
    session.updateFormattingState();
    session.setCopyPreservesLineBreaks(false);
    QCoreApplication::processEvents();

    QCOMPARE(view->textCursor().selectionStart(), 0);
    QCOMPARE(view->textCursor().selectionEnd(), 2);
    QVERIFY(view->characterFormatAt(0).font().bold());
    QVERIFY(view->document()->isUndoAvailable());
}

void tst_RichTextEditor::selectingAnotherTabReloadsItsTextInDefaultAttributes()
{
    NoteSession session;
    RichTextEditor editor(session);
    QWidget outside;
    show(&editor);
    WispenTextView *view = editor.textView();
    const QUuid first = session.selectedTabId();
    QTest::keyClicks(view, u"first"_qs);
    select(view, 0, 5);
    EditorDriver::makeSelectionBold(view);
    EditorDriver::alignCaretParagraph(view, Qt::AlignRight);
    session.updateFormattingState();
    QVERIFY(session.isBold());

    session.addTab();
    QTRY_COMPARE(view->plainText(), QString());
    QCOMPARE(session.tabs().at(0).cachedText, u"first"_qs);
    QTest::keyClicks(view, u"second"_qs);

    session.selectTab(first);
    QTRY_COMPARE(view->plainText(), u"first"_qs);
    QVERIFY(!view->characterFormatAt(0).font().bold());
    QCOMPARE(view->document()->firstBlock().blockFormat().alignment(), Qt::AlignLeft);
    QVERIFY(!session.isBold());
    QCOMPARE(session.alignment(), Qt::AlignLeft);
    QCOMPARE(session.cachedText(), u"first"_qs);
    QCOMPARE(session.tabs().at(1).cachedText, u"second"_qs);
    QVERIFY(!view->document()->isUndoAvailable());
    QTRY_VERIFY(view->hasFocus());
}

void tst_RichTextEditor::anUnknownSelectedTabShowsTheMirroredText()
{
    NoteSession session;
    RichTextEditor editor(session);
    session.selectTab(QUuid::createUuid());
    session.setCachedText(u"mirrored"_qs);
    QTRY_COMPARE(editor.textView()->plainText(), u"mirrored"_qs);
}

void tst_RichTextEditor::typingOneCharacterUpdatesTheTabOnceWithTheWholeText()
{
    NoteSession session;
    session.updateActiveTabText(u"ab"_qs);
    RichTextEditor editor(session);
    editor.textView()->placeCaret(1);
    QSignalSpy notifications(&session, &NoteSession::objectWillChange);

    QTest::keyClicks(editor.textView(), u"X"_qs);

    QCOMPARE(notifications.size(), 1);
    QCOMPARE(session.tabs().first().cachedText, u"aXb"_qs);
}

void tst_RichTextEditor::theTextInsetScrollsWithTheTextAndSurvivesReloads()
{
    NoteSession session;
    RichTextEditor editor(session);
    show(&editor);
    WispenTextView *view = editor.textView();
    const auto firstCaret = [view] {
        QTextCursor cursor(view->document());
        return view->cursorRect(cursor).topLeft();
    };
    const QPoint empty = firstCaret();
    QCOMPARE(empty.x(), WispenTextView::horizontalInset);
    QVERIFY(std::abs(empty.y() - WispenTextView::verticalInset) <= 2);

    session.addTab();
    QTRY_VERIFY(view->document()->rootFrame()->frameFormat().leftMargin() > 0);
    setText(view, QString(200, u'\n'));
    QCOMPARE(firstCaret(), empty);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QVERIFY(firstCaret().y() < 0);
    const QRect last = view->cursorRect(QTextCursor(view->document()->lastBlock()));
    QCOMPARE(view->viewport()->height() - last.bottom() - 1, WispenTextView::verticalInset);
}

WISPEN_TEST_MAIN(tst_RichTextEditor)
#include "tst_richtexteditor.moc"
