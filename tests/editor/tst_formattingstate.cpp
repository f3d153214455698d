#include "editor/richtexteditor.h"
#include "editordriver.h"
#include "testmain.h"

#include <QSignalSpy>

using namespace EditorDriver;

class tst_FormattingState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void aRestoredNoteReadsAsPlainElevenPointLeft();
    void aSelectionReadsOnlyItsFirstCharacter_data();
    void aSelectionReadsOnlyItsFirstCharacter();
    void aCaretReadsTheTypingFormatAndOneWithoutAFontKeepsTheFontState();
    void theAlignmentIsTheCaretsParagraphs();
    void checklistLine_data();
    void checklistLine();
    void everyValueIsPublishedInOrderEvenWhenUnchanged();
    void withoutATextViewNothingChanges();
    void aSelectionChangeRefreshesTheStateOnTheNextTurn();

private:
    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<RichTextEditor> m_editor;
    WispenTextView *m_view = nullptr;
};

void tst_FormattingState::init()
{
    m_session = std::make_unique<NoteSession>();
    m_editor = std::make_unique<RichTextEditor>(*m_session);
    m_view = m_editor->textView();
}

void tst_FormattingState::cleanup()
{
    m_editor.reset();
    m_session.reset();
}

void tst_FormattingState::aRestoredNoteReadsAsPlainElevenPointLeft()
{
    setText(m_view, u"hello\nworld"_qs);
    select(m_view, 1, 8);
    m_session->updateFormattingState();
    QVERIFY(!m_session->isBold() && !m_session->isItalic() && !m_session->isUnderline());
    QCOMPARE(m_session->fontSize(), 11.0);
    QCOMPARE(m_session->alignment(), Qt::AlignLeft);
}

void tst_FormattingState::aSelectionReadsOnlyItsFirstCharacter_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("bold");

    // "ab" is bold, "cd" plain.
    QTest::newRow("starts bold, ends plain") << 1 << 4 << true;
    QTest::newRow("same, selected backwards") << 4 << 1 << true;
    QTest::newRow("starts plain") << 2 << 4 << false;
    QTest::newRow("starts on the last bold character") << 1 << 3 << true;
}

void tst_FormattingState::aSelectionReadsOnlyItsFirstCharacter()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(bool, bold);
    setText(m_view, u"abcd"_qs);
    QTextCursor cursor(m_view->document());
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    QTextCharFormat heavy;
    heavy.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(heavy);
    select(m_view, anchor, position);

    m_session->updateFormattingState();

    QCOMPARE(m_session->isBold(), bold);
}

void tst_FormattingState::aCaretReadsTheTypingFormatAndOneWithoutAFontKeepsTheFontState()
{
    // Between two plain characters, what is typed next decides.
    setText(m_view, u"ab"_qs);
    m_view->placeCaret(1);
    QTextCharFormat format = m_view->currentCharFormat();
    format.setFontWeight(QFont::Bold);
    format.setFontItalic(true);
    format.setFontPointSize(40);
    format.setFontUnderline(true);
    m_view->setCurrentCharFormat(format);
    m_session->updateFormattingState();
    QVERIFY(m_session->isBold() && m_session->isItalic() && m_session->isUnderline());
    QCOMPARE(m_session->fontSize(), 40.0);

    m_view->setCurrentCharFormat(QTextCharFormat());
    m_session->updateFormattingState();

    QVERIFY(m_session->isBold());
    QCOMPARE(m_session->fontSize(), 40.0);
    QVERIFY(!m_session->isUnderline());
}

void tst_FormattingState::theAlignmentIsTheCaretsParagraphs()
{
    setText(m_view, u"left\nright"_qs);
    QTextCursor cursor(m_view->document());
    cursor.setPosition(6);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.mergeBlockFormat(right);

    m_view->placeCaret(7);
    m_session->updateFormattingState();
    QCOMPARE(m_session->alignment(), Qt::AlignRight);
    select(m_view, 2, 8);
    m_session->updateFormattingState();
    QCOMPARE(m_session->alignment(), Qt::AlignLeft);
}

void tst_FormattingState::checklistLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("onChecklist");

    QTest::newRow("empty note") << QString() << 0 << 0 << false;
    QTest::newRow("caret after a final break") << u"☐ a\n"_qs << 4 << 4 << true;
    QTest::newRow("caret anywhere on a ticked line") << u"x\n☑ abc"_qs << 5 << 5 << true;
    QTest::newRow("glyph without a space") << u"☐abc"_qs << 2 << 2 << true;
    QTest::newRow("space before the glyph") << u" ☐ a"_qs << 3 << 3 << false;
    QTest::newRow("plain line after an item") << u"☐ a\nb"_qs << 5 << 5 << false;
    QTest::newRow("selection starting on an item") << u"☐ a\nb"_qs << 1 << 5 << true;
    QTest::newRow("line after a soft break") << u"☐ a\u2028b"_qs << 5 << 5 << false;
    QTest::newRow("CR LF note") << u"b\r\n☐ a\r\n"_qs << 5 << 5 << true;
}

void tst_FormattingState::checklistLine()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(bool, onChecklist);
    setText(m_view, text);
    select(m_view, anchor, position);

    m_session->updateFormattingState();

    QCOMPARE(m_session->isOnChecklistLine(), onChecklist);
}

void tst_FormattingState::everyValueIsPublishedInOrderEvenWhenUnchanged()
{
    QSignalSpy notifications(m_session.get(), &NoteSession::objectWillChange);
    m_session->updateFormattingState();
    QCOMPARE(notifications.size(), 6);

    m_view->setCurrentCharFormat(QTextCharFormat());
    m_session->updateFormattingState();
    QCOMPARE(notifications.size(), 6 + 3);
}

void tst_FormattingState::withoutATextViewNothingChanges()
{
    m_editor.reset();
    QSignalSpy notifications(m_session.get(), &NoteSession::objectWillChange);
    m_session->updateFormattingState();
    QCOMPARE(notifications.size(), 0);
}

void tst_FormattingState::aSelectionChangeRefreshesTheStateOnTheNextTurn()
{
    setText(m_view, u"☐ a\nb"_qs);
    m_view->placeCaret(1);
    QVERIFY(!m_session->isOnChecklistLine());
    QTRY_VERIFY(m_session->isOnChecklistLine());

    m_view->placeCaret(5);
    m_editor.reset();
    // The refresh that was queued for the gone editor is dropped.
    QSignalSpy notifications(m_session.get(), &NoteSession::objectWillChange);
    QCoreApplication::processEvents();
    QCOMPARE(notifications.size(), 0);
    QVERIFY(m_session->isOnChecklistLine());
}

WISPEN_TEST_MAIN(tst_FormattingState)
#include "tst_formattingstate.moc"
