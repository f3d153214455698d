#include "editordriver.h"
#include "testmain.h"

#include <QSignalSpy>

using namespace EditorDriver;

class tst_FormattingState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_editor.emplace(); }
    void cleanup() { m_editor.reset(); }

    void aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat_data();
    void aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat();
    void aChecklistLineIsTheCaretsLineStartingWithAGlyph_data();
    void aChecklistLineIsTheCaretsLineStartingWithAGlyph();
    void aSelectionChangeRefreshesTheStateOnTheNextTurnWhileTheEditorLives();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_FormattingState::aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("withoutFont");
    QTest::addColumn<QString>("shown");

    // In "abcd\n☐ ef", "a" is bold, "b" italic, underlined and 40 point, and the item is
    // right-aligned.
    QTest::newRow("caret in plain text") << 3 << 3 << false << u"- left"_qs;
    QTest::newRow("caret after formatted text") << 2 << 2 << false << u"iu40 left"_qs;
    QTest::newRow("same, typing format without a font") << 2 << 2 << true << u"i40 left"_qs;
    QTest::newRow("starts bold, ends plain") << 0 << 4 << false << u"b left"_qs;
    QTest::newRow("same, selected backwards") << 4 << 0 << false << u"b left"_qs;
    QTest::newRow("starts on the last formatted character") << 1 << 3 << false << u"iu40 left"_qs;
    QTest::newRow("starts plain right after formatted text") << 2 << 4 << false << u"- left"_qs;
    QTest::newRow("caret on the right-aligned item") << 8 << 8 << false << u"- right checklist"_qs;
    QTest::newRow("from the first line into the item") << 3 << 8 << false << u"- left"_qs;
}

void tst_FormattingState::aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(bool, withoutFont);
    QFETCH(QString, shown);
    WispenTextView *view = m_editor->view;
    NoteSession &session = m_editor->session;
    setText(view, u"abcd\n☐ ef"_qs);
    formatCharacters(view, u"b iu40"_qs);
    view->placeCaret(6);
    alignCaretParagraph(view, Qt::AlignRight);
    select(view, anchor, position);
    session.updateFormattingState();
    QSignalSpy notifications(&session, &NoteSession::objectWillChange);

    if (withoutFont)
        view->setCurrentCharFormat(QTextCharFormat());
    session.updateFormattingState();

    const Qt::Alignment alignment = session.alignment();
    const char *side = alignment == Qt::AlignLeft ? "left"
        : alignment == Qt::AlignRight             ? "right"
                                                  : "?";
    QCOMPARE(
        formatWord(session.isBold(), session.isItalic(), session.isUnderline(), session.fontSize())
            + u' ' + QLatin1StringView(side)
            + (session.isOnChecklistLine() ? u" checklist"_qs : QString()),
        shown);
    // Every value is published, changed or not; a format without a font leaves the font alone.
    QCOMPARE(notifications.size(), withoutFont ? 3 : 6);
}

void tst_FormattingState::aChecklistLineIsTheCaretsLineStartingWithAGlyph_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("onChecklist");

    QTest::newRow("empty note") << u"|"_qs << false;
    QTest::newRow("caret after a final break") << u"☐ a\n|"_qs << true;
    QTest::newRow("caret anywhere on a ticked line") << u"x\n☑ a|bc"_qs << true;
    QTest::newRow("glyph without a space") << u"☐a|bc"_qs << true;
    QTest::newRow("space before the glyph") << u" ☐| a"_qs << false;
    QTest::newRow("plain line after an item") << u"☐ a\nb|"_qs << false;
    QTest::newRow("selection starting on an item") << u"☐[ a\nb]"_qs << true;
    QTest::newRow("line after a soft break") << u"☐ a\u2028b|"_qs << false;
}

void tst_FormattingState::aChecklistLineIsTheCaretsLineStartingWithAGlyph()
{
    QFETCH(QString, text);
    QFETCH(bool, onChecklist);
    setMarked(m_editor->view, text);

    m_editor->session.updateFormattingState();

    QCOMPARE(m_editor->session.isOnChecklistLine(), onChecklist);
}

void tst_FormattingState::aSelectionChangeRefreshesTheStateOnTheNextTurnWhileTheEditorLives()
{
    setMarked(m_editor->view, u"☐ a\nb|"_qs);
    m_editor->view->placeCaret(1);
    QVERIFY(!m_editor->session.isOnChecklistLine());
    QTRY_VERIFY(m_editor->session.isOnChecklistLine());

    m_editor->view->placeCaret(5);
    QTRY_VERIFY(!m_editor->session.isOnChecklistLine());

    m_editor->view->placeCaret(1);
    m_editor->editor.reset();
    QSignalSpy notifications(&m_editor->session, &NoteSession::objectWillChange);
    QCoreApplication::processEvents();
    m_editor->session.updateFormattingState();
    QCOMPARE(notifications.size(), 0);
}

WISPEN_TEST_MAIN(tst_FormattingState)
#include "tst_formattingstate.moc"
