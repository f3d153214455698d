#include "editor/checklist.h"
#include "editor/richtexteditor.h"
#include "editordriver.h"
#include "testmain.h"

#include <QClipboard>
#include <QSignalSpy>
#include <QTextBlock>

using namespace EditorDriver;

// The tab's text follows every edit in the editor exactly, in the note's own line endings,
// without the editor's whole text being read.
class tst_TabTextFollowsEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyKindOfEditKeepsTheTabExact_data();
    void everyKindOfEditKeepsTheTabExact();
    void aKeystrokeInALongNoteIsOneNotificationAndNoWholeRead();
};

void tst_TabTextFollowsEdits::everyKindOfEditKeepsTheTabExact_data()
{
    QTest::addColumn<QString>("note");
    QTest::newRow("LF") << u"☐ milk\n☑ eggs\nplain line\u00a0x\u2028y\nlast"_qs;
    QTest::newRow("CR LF") << u"☐ milk\r\n☑ eggs\r\nplain line\u00a0x\u2028y\r\nlast"_qs;
    QTest::newRow("CR") << u"☐ milk\r☑ eggs\rplain line\u00a0x\u2028y\rlast"_qs;
    QTest::newRow("empty") << QString();
}

void tst_TabTextFollowsEdits::everyKindOfEditKeepsTheTabExact()
{
    QFETCH(QString, note);
    NoteSession session;
    session.updateActiveTabText(note);
    RichTextEditor editor(session);
    show(&editor);
    WispenTextView *view = editor.textView();

    const QList<std::pair<const char *, std::function<void()>>> steps {
        { "type in the middle",
            [&] {
                view->placeCaret(3);
                type(view, u"ab"_qs);
            } },
        { "Return", [&] { QTest::keyClick(view, Qt::Key_Return); } },
        { "Return on a checklist item",
            [&] {
                view->moveCursor(QTextCursor::Start);
                view->moveCursor(QTextCursor::EndOfBlock);
                QTest::keyClick(view, Qt::Key_Return);
            } },
        { "Return on the empty item", [&] { QTest::keyClick(view, Qt::Key_Return); } },
        { "soft line break", [&] { QTest::keyClick(view, Qt::Key_Return, Qt::ShiftModifier); } },
        { "Backspace across a break",
            [&] {
                view->moveCursor(QTextCursor::Down);
                view->moveCursor(QTextCursor::StartOfBlock);
                QTest::keyClick(view, Qt::Key_Backspace);
            } },
        { "typing over lines",
            [&] {
                select(view, 1, std::min(12, view->document()->characterCount() - 1));
                type(view, u"Z"_qs);
            } },
        { "paste of several lines",
            [&] {
                QGuiApplication::clipboard()->setText(u"p1\np2\r\np3"_qs);
                QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
            } },
        { "insert an item", [&] { Checklist::insertItem(view); } },
        { "tick a glyph",
            [&] {
                view->moveCursor(QTextCursor::End);
                Checklist::insertItem(view);
                type(view, u"task"_qs);
                const int glyph = view->textCursor().block().position();
                click(view, pointInCharacter(view, glyph, 0.5));
            } },
        { "bold over everything",
            [&] {
                view->selectAll();
                EditorDriver::makeSelectionBold(view);
            } },
        { "undo three times",
            [&] {
                for (int i = 0; i < 3; ++i)
                    view->undo();
            } },
        { "redo twice",
            [&] {
                for (int i = 0; i < 2; ++i)
                    view->redo();
            } },
        { "type at the very end",
            [&] {
                view->moveCursor(QTextCursor::End);
                type(view, u"!"_qs);
            } },
        { "delete everything",
            [&] {
                view->selectAll();
                QTest::keyClick(view, Qt::Key_Delete);
            } },
        { "type into the empty note", [&] { type(view, u"again"_qs); } },
        { "undo it all",
            [&] {
                while (view->document()->isUndoAvailable())
                    view->undo();
            } },
    };
    for (const auto &[name, step] : steps) {
        const int readsBefore = view->wholeTextReads();
        step();
        QCoreApplication::processEvents();
        const int readsByEdit = view->wholeTextReads() - readsBefore;
        QVERIFY2(readsByEdit == 0, name);
        QVERIFY2(session.activeTabPlainText() == view->plainText(), name);
        QVERIFY2(session.cachedText() == session.activeTabPlainText(), name);
    }
    if (note.contains(u"\r\n"))
        QVERIFY(session.activeTabPlainText().contains(u"\r\n"));
}

void tst_TabTextFollowsEdits::aKeystrokeInALongNoteIsOneNotificationAndNoWholeRead()
{
    QString note;
    for (int line = 0; line < 20000; ++line)
        note += u"a line of a long note, number %1\r\n"_qs.arg(line);
    NoteSession session;
    session.updateActiveTabText(note);
    RichTextEditor editor(session);
    show(&editor);
    WispenTextView *view = editor.textView();
    view->placeCaret(view->document()->characterCount() / 2);
    QSignalSpy changes(&session, &NoteSession::objectWillChange);
    const int readsBefore = view->wholeTextReads();

    QTest::keyClick(view, Qt::Key_X);
    QTest::keyClick(view, Qt::Key_Return);
    QCoreApplication::processEvents();

    QCOMPARE(view->wholeTextReads(), readsBefore);
    // One write-back of the tab per keystroke; the deferred formatting refresh adds its own.
    QVERIFY(changes.size() >= 2);
    QCOMPARE(session.activeTabPlainText(), view->plainText());
}

WISPEN_TEST_MAIN(tst_TabTextFollowsEdits)
#include "tst_tabtextfollowsedits.moc"
