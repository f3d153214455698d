#include "editor/checklist.h"
#include "editordriver.h"
#include "testmain.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextFrame>

using namespace EditorDriver;

// The editor binds its text view to the session: the tab's text follows every edit exactly, in
// the note's own line endings and without the whole text being read (tst_linebreaks walks
// that at random), Return continues and ends checklists, the formatting state follows the
// selection, text leaves by the line-break preference and comes in plain, and the view follows
// the selected tab.
class tst_RichTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_editor.emplace();
        QGuiApplication::clipboard()->setText(u"before"_qs);
    }
    void cleanup() { m_editor.reset(); }

    void eachChecklistEditIsOneUndoStepAndOneTabUpdate_data();
    void eachChecklistEditIsOneUndoStepAndOneTabUpdate();
    void doubleAndTripleClicksOnAGlyphSelectInstead();
    void aReadOnlyViewRefusesEveryChecklistEditButStillSwallowsReturn();
    void aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat_data();
    void aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat();
    void aChecklistLineIsTheCaretsLineStartingWithAGlyph_data();
    void aChecklistLineIsTheCaretsLineStartingWithAGlyph();
    void aSelectionChangeRefreshesTheStateOnTheNextTurnWhileTheEditorLives();
    void copyFollowsTheLineBreakPreferenceButCutKeepsThem_data();
    void copyFollowsTheLineBreakPreferenceButCutKeepsThem();
    void onlyTextComesInAndItComesInPlain_data();
    void onlyTextComesInAndItComesInPlain();
    void theViewReloadsInDefaultAttributesOnlyWhenAnotherTabIsSelected();
    void theTextInsetScrollsWithTheTextAndSurvivesReloads();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_RichTextEditor::eachChecklistEditIsOneUndoStepAndOneTabUpdate_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("after");
    const auto row = [](const char *name, const QString &before, const QString &after,
                         const QString &action = u"Return"_qs) {
        QTest::newRow(name) << before << action << after;
    };

    row("insert into an empty note", u"|"_qs, u"☐ |"_qs, u"insert"_qs);
    row("insert in the middle of a line", u"a|b"_qs, u"a\n☐ |b"_qs, u"insert"_qs);
    row("insert right after a line break", u"a\n|"_qs, u"a\n☐ |"_qs, u"insert"_qs);
    row("insert over a selection", u"a]b[c"_qs, u"a\n☐ |c"_qs, u"insert"_qs);
    row("insert after a soft line break", u"a\u2028|"_qs, u"a\u2028\n☐ |"_qs, u"insert"_qs);
    row("Return at the end of an item", u"☐ milk|"_qs, u"☐ milk\n☐ |"_qs);
    row("keypad Enter", u"☐ milk|"_qs, u"☐ milk\n☐ |"_qs, u"Num+Enter"_qs);
    row("Shift+Return starts a plain line", u"☐ milk|"_qs, u"☐ milk\n|"_qs, u"Shift+Return"_qs);
    row("Shift+Return keeps an empty item", u"☐ |"_qs, u"☐ \n|"_qs, u"Shift+Return"_qs);
    row("Return after a ticked item", u"☑ milk|"_qs, u"☑ milk\n☐ |"_qs);
    row("Return in the middle of an item", u"☐ mi|lk"_qs, u"☐ mi\n☐ |lk"_qs);
    row("two spaces after the glyph", u"☐  x|"_qs, u"☐  x\n☐ |"_qs);
    row("item after a soft break", u"x\u2028☐ a|"_qs, u"x\u2028☐ a\n☐ |"_qs);
    row("glyph directly before text", u"☐milk|"_qs, u"☐milk\n|"_qs);
    row("space before the glyph", u" ☐ a|"_qs, u" ☐ a\n|"_qs);
    row("plain line after a soft break", u"☐ a\u2028b|"_qs, u"☐ a\u2028b\n|"_qs);
    row("Return in an empty note", u"|"_qs, u"\n|"_qs);
    row("empty item between lines", u"☐ a\n☐ |\nb"_qs, u"☐ a\n|b"_qs);
    row("empty last item", u"☐ a\n☐ |"_qs, u"☐ a\n|"_qs);
    row("bare ticked glyph", u"☐ a\n☑|"_qs, u"☐ a\n|"_qs);
    row("caret before an empty item's glyph", u"|☐ \nb"_qs, u"|b"_qs);
    // A click somewhere in a character, at a fraction of its width: "click 2 0.5".
    row("click the glyph's left half", u"☐ a|"_qs, u"☑ a|"_qs, u"click 0 0.2"_qs);
    row("click the glyph's right half", u"☐ a|"_qs, u"☑ a|"_qs, u"click 0 0.8"_qs);
    row("click the space's left half", u"☐ a|"_qs, u"☑ a|"_qs, u"click 1 0.2"_qs);
    row("click the space's right half", u"☐ a|"_qs, u"☐ |a"_qs, u"click 1 0.8"_qs);
    row("click a ticked glyph", u"☑ a|"_qs, u"☐ a|"_qs, u"click 0 0.5"_qs);
    row("click with the caret before it", u"a |☐ b"_qs, u"a |☑ b"_qs, u"click 2 0.5"_qs);
    row("click with the caret after it", u"a ☐| b"_qs, u"a ☑| b"_qs, u"click 2 0.5"_qs);
    row("click between two glyphs", u"☐☐|"_qs, u"☐☑|"_qs, u"click 1 0.2"_qs);
    row("click a plain character", u"a|b"_qs, u"|ab"_qs, u"click 0 0.5"_qs);
}

void tst_RichTextEditor::eachChecklistEditIsOneUndoStepAndOneTabUpdate()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QString, after);
    WispenTextView *view = m_editor->view;
    setMarked(view, before);
    const QStringList click = action.split(u' ');
    if (click.first() == u"click") {
        // Ticking keeps the glyph's format.
        const int caret = view->textCursor().position();
        view->selectAll();
        makeSelectionBold(view);
        view->placeCaret(caret);
    }
    const QString original = view->plainText();
    m_editor->session.updateActiveTabText(original);
    QSignalSpy notifications(&m_editor->session, &NoteSession::objectWillChange);

    if (action == u"insert")
        Checklist::insertItem(view);
    else if (click.size() == 3)
        EditorDriver::click(view, pointInCharacter(view, click[1].toInt(), click[2].toDouble()));
    else
        QTest::keySequence(view, QKeySequence(action));

    QCOMPARE(marked(view), after);
    QCOMPARE(notifications.size(), view->plainText() == original ? 0 : 1);
    QCOMPARE(m_editor->session.activeTabPlainText(), view->plainText());
    if (click.size() == 3)
        QCOMPARE(view->characterFormatAt(click[1].toInt()).fontWeight(), int(QFont::Bold));
    view->undo();
    QCOMPARE(view->plainText(), original);
}

void tst_RichTextEditor::doubleAndTripleClicksOnAGlyphSelectInstead()
{
    QWidget *viewport = m_editor->view->viewport();
    setText(m_editor->view, u"☐ a"_qs);
    const QPoint glyph = pointInCharacter(m_editor->view, 0, 0.5);
    const auto doubleClick = [&] {
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, glyph);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, glyph);
    };

    doubleClick();
    QCOMPARE(m_editor->view->plainText(), u"☐ a"_qs);
    QVERIFY(m_editor->view->textCursor().hasSelection());
    QTest::mouseClick(viewport, Qt::LeftButton, {}, glyph);
    QCOMPARE(marked(m_editor->view), u"[☐ a]"_qs);

    // Once the double-click interval has passed, a press is a single click again.
    QStyleHints *hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(1);
    doubleClick();
    QTest::qWait(20);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, glyph);
    hints->setMouseDoubleClickInterval(interval);
    QCOMPARE(m_editor->view->plainText(), u"☑ a"_qs);
}

void tst_RichTextEditor::aReadOnlyViewRefusesEveryChecklistEditButStillSwallowsReturn()
{
    WispenTextView *view = m_editor->view;
    setText(view, u"☐ a\n☐ "_qs);
    view->setReadOnly(true);
    QSignalSpy changes(view, &WispenTextView::textChanged);

    for (const int caret : { 3, 6 }) {
        view->placeCaret(caret);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_qs);
        QApplication::sendEvent(view, &press);
        QVERIFY(press.isAccepted());
    }
    Checklist::insertItem(view);
    click(view, pointInCharacter(view, 0, 0.5));

    QCOMPARE(view->plainText(), u"☐ a\n☐ "_qs);
    QCOMPARE(changes.size(), 0);
}

void tst_RichTextEditor::aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat_data()
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

void tst_RichTextEditor::aSelectionReadsItsFirstCharacterAndACaretTheTypingFormat()
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

void tst_RichTextEditor::aChecklistLineIsTheCaretsLineStartingWithAGlyph_data()
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

void tst_RichTextEditor::aChecklistLineIsTheCaretsLineStartingWithAGlyph()
{
    QFETCH(QString, text);
    QFETCH(bool, onChecklist);
    setMarked(m_editor->view, text);
    m_editor->session.updateFormattingState();
    QCOMPARE(m_editor->session.isOnChecklistLine(), onChecklist);
}

void tst_RichTextEditor::aSelectionChangeRefreshesTheStateOnTheNextTurnWhileTheEditorLives()
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

void tst_RichTextEditor::copyFollowsTheLineBreakPreferenceButCutKeepsThem_data()
{
    QTest::addColumn<bool>("keepBreaks");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<bool>("rich");
    const QKeySequence copy(QKeySequence::Copy), cut(QKeySequence::Cut);
    const QString note = u"[☐\tmilk\u00a0x\u2028y\n\n☑ eggs\n]"_qs;

    QTest::newRow("breaks kept: rich, exact plain text")
        << true << copy << note << u"☐\tmilk\u00a0x\u2028y\n\n☑ eggs\n"_qs << true;
    QTest::newRow("breaks dropped: one line of plain text")
        << false << copy << note << u"☐\tmilk\u00a0x\u2028y  ☑ eggs "_qs << false;
    QTest::newRow("nothing selected, breaks kept")
        << true << copy << u"te|xt"_qs << u"before"_qs << false;
    QTest::newRow("nothing selected, breaks dropped")
        << false << copy << u"te|xt"_qs << u"before"_qs << false;
    QTest::newRow("cut, breaks dropped")
        << false << cut << u"[one\ntwo]"_qs << u"one\ntwo"_qs << true;
}

void tst_RichTextEditor::copyFollowsTheLineBreakPreferenceButCutKeepsThem()
{
    QFETCH(bool, keepBreaks);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, note);
    QFETCH(QString, copied);
    QFETCH(bool, rich);
    // Copy reads the preference of the app's one session.
    NoteSession::shared().setCopyPreservesLineBreaks(keepBreaks);
    setMarked(m_editor->view, note);

    QTest::keySequence(m_editor->view, keys);

    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), copied);
    QCOMPARE(data->hasHtml(), rich);
    if (rich)
        QVERIFY(data->html().contains(copied.first(3)));
}

void tst_RichTextEditor::onlyTextComesInAndItComesInPlain_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("expected");

    QTest::newRow("pasted rich text") << u"Ctrl+V"_qs << u"rich"_qs << u"abig\nlineb"_qs;
    QTest::newRow("pasted as plain text") << u"Ctrl+Shift+V"_qs << u"rich"_qs << u"abig\nlineb"_qs;
    QTest::newRow("dropped rich text") << u"drop"_qs << u"rich"_qs << u"abig\nlineb"_qs;
    QTest::newRow("pasted image") << u"Ctrl+V"_qs << u"image"_qs << u"ab"_qs;
    QTest::newRow("image pasted as plain text") << u"Ctrl+Shift+V"_qs << u"image"_qs << u"ab"_qs;
    QTest::newRow("dropped local files") << u"drop"_qs << u"files"_qs << u"ab"_qs;
}

void tst_RichTextEditor::onlyTextComesInAndItComesInPlain()
{
    QFETCH(QString, how);
    QFETCH(QString, offered);
    QFETCH(QString, expected);
    WispenTextView *view = m_editor->view;
    m_editor->session.updateActiveTabText(u"ab"_qs);
    setMarked(view, u"a|b"_qs);
    auto data = std::make_unique<QMimeData>();
    if (offered == u"rich") {
        data->setHtml(u"<b style='font-size:30pt'>big</b>"_qs);
        data->setText(u"big\r\nline"_qs);
    } else if (offered == u"image") {
        data->setImageData(QImage(4, 4, QImage::Format_RGB32));
    } else {
        data->setUrls({ QUrl::fromLocalFile(u"/tmp/note.txt"_qs) });
        data->setText(u"/tmp/note.txt"_qs);
    }
    QSignalSpy changes(view, &WispenTextView::textChanged);

    if (how == u"drop") {
        const QPoint between = pointInCharacter(view, 1, 0.0);
        QDragEnterEvent enter(between, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QDropEvent drop(between, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        if (enter.isAccepted())
            QApplication::sendEvent(view->viewport(), &drop);
    } else {
        QGuiApplication::clipboard()->setMimeData(data.release());
        QTest::keySequence(view, QKeySequence(how));
    }

    QCOMPARE(view->plainText(), expected);
    QCOMPARE(m_editor->session.activeTabPlainText(), expected);
    QCOMPARE(changes.isEmpty(), expected == u"ab");
    QCOMPARE(characterFormats(view), QStringList(expected.size(), u"-"_qs).join(u' '));
}

void tst_RichTextEditor::theViewReloadsInDefaultAttributesOnlyWhenAnotherTabIsSelected()
{
    NoteSession &session = m_editor->session;
    WispenTextView *view = m_editor->view;
    const QUuid first = session.selectedTabId();
    // Text put in behind the session's back puts the tab out of step: the next edit reads it
    // whole.
    setText(view, u"rst"_qs);
    QTest::keyClicks(view, u"fi"_qs);
    QCOMPARE(session.activeTabPlainText(), u"first"_qs);
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
