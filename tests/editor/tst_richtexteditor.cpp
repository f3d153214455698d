#include "editor/checklist.h"
#include "editordriver.h"
#include "testmain.h"

#include <QClipboard>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>

using namespace EditorDriver;

// The editor binds its text view to the session: the tab's text follows every edit exactly, in
// the note's own line endings and without the whole text being read, and the view follows the
// selected tab. tst_linebreaks checks the line endings themselves.
class tst_RichTextEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_editor.emplace(); }
    void cleanup() { m_editor.reset(); }

    void theTabStaysExactThroughARandomWalkOfEdits_data();
    void theTabStaysExactThroughARandomWalkOfEdits();
    void aTabOutOfStepWithTheViewIsReadWholeOnTheNextEdit();
    void theViewReloadsInDefaultAttributesOnlyWhenAnotherTabIsSelected();
    void theTextInsetScrollsWithTheTextAndSurvivesReloads();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_RichTextEditor::theTabStaysExactThroughARandomWalkOfEdits_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<quint32>("seed");

    const QString lines = u"☐ milk\n☑ eggs\nplain line\u00a0x\u2028y\n\nlast"_qs;
    for (const quint32 seed : { 1, 2, 3 }) {
        QTest::addRow("LF, seed %u", seed) << lines << seed;
        QTest::addRow("CR LF, seed %u", seed)
            << QString(lines).replace(u"\n"_qs, u"\r\n"_qs) << seed;
        QTest::addRow("CR, seed %u", seed) << QString(lines).replace(u'\n', u'\r') << seed;
        QTest::addRow("mixed, seed %u", seed)
            << u"☐ milk\r\n☑ eggs\nplain\u2029line\u00a0x\u2028y\r\r\n\uFDD0last\r"_qs << seed;
        QTest::addRow("empty, seed %u", seed) << QString() << seed;
    }
}

void tst_RichTextEditor::theTabStaysExactThroughARandomWalkOfEdits()
{
    QFETCH(QString, note);
    QFETCH(quint32, seed);
    NoteSession &session = m_editor->session;
    WispenTextView *view = m_editor->view;
    session.updateActiveTabText(note);
    session.attachTextView(view);
    QRandomGenerator random(seed);
    const auto length = [view] { return view->document()->characterCount() - 1; };
    const auto anywhere = [&] { view->placeCaret(random.bounded(length() + 1)); };
    const auto somewhere
        = [&] { select(view, random.bounded(length() + 1), random.bounded(length() + 1)); };
    const QList<std::pair<const char *, std::function<void()>>> edits {
        { "type", [&] { anywhere(), type(view, u"a☐ \u00a0"_qs.first(random.bounded(1, 5))); } },
        { "Return", [&] { anywhere(), QTest::keyClick(view, Qt::Key_Return); } },
        { "Shift+Return",
            [&] { anywhere(), QTest::keyClick(view, Qt::Key_Return, Qt::ShiftModifier); } },
        { "Backspace", [&] { somewhere(), QTest::keyClick(view, Qt::Key_Backspace); } },
        { "Delete", [&] { anywhere(), QTest::keyClick(view, Qt::Key_Delete); } },
        { "type over a selection", [&] { somewhere(), type(view, u"Z"_qs); } },
        { "paste lines",
            [&] {
                QGuiApplication::clipboard()->setText(u"p1\np2\r\np3"_qs);
                somewhere(), QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
            } },
        { "insert an item", [&] { somewhere(), Checklist::insertItem(view); } },
        { "click a character",
            [&] {
                if (length() > 0)
                    click(view, pointInCharacter(view, random.bounded(length()), 0.5));
            } },
        { "make bold", [&] { somewhere(), makeSelectionBold(view); } },
        { "centre", [&] { anywhere(), alignCaretParagraph(view, Qt::AlignHCenter); } },
        { "undo", [&] { view->undo(); } },
        { "redo", [&] { view->redo(); } },
        { "type at the end", [&] { view->moveCursor(QTextCursor::End), type(view, u"!"_qs); } },
        { "delete everything", [&] { view->selectAll(), QTest::keyClick(view, Qt::Key_Delete); } },
    };
    for (int step = 0; step < 120; ++step) {
        const auto &[name, edit] = edits.at(random.bounded(edits.size()));
        const QByteArray what = QByteArray("seed ") + QByteArray::number(seed) + ", step "
            + QByteArray::number(step) + ": " + name;
        const int readsBefore = view->wholeTextReads();
        edit();
        QCoreApplication::processEvents();
        QVERIFY2(view->wholeTextReads() == readsBefore, what);
        QVERIFY2(session.activeTabPlainText() == view->plainText(), what);
        QVERIFY2(session.cachedText() == session.activeTabPlainText(), what);
    }
}

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
