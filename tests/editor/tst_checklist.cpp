#include "editor/checklist.h"
#include "editordriver.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QStyleHints>

using namespace EditorDriver;

class tst_Checklist : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_editor.emplace(); }
    void cleanup() { m_editor.reset(); }

    void eachChecklistEditIsOneUndoStepAndOneTabUpdate_data();
    void eachChecklistEditIsOneUndoStepAndOneTabUpdate();
    void doubleAndTripleClicksOnAGlyphSelectInstead();
    void aReadOnlyViewRefusesEveryChecklistEditButStillSwallowsReturn();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_Checklist::eachChecklistEditIsOneUndoStepAndOneTabUpdate_data()
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

void tst_Checklist::eachChecklistEditIsOneUndoStepAndOneTabUpdate()
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

void tst_Checklist::doubleAndTripleClicksOnAGlyphSelectInstead()
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

void tst_Checklist::aReadOnlyViewRefusesEveryChecklistEditButStillSwallowsReturn()
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

WISPEN_TEST_MAIN(tst_Checklist)
#include "tst_checklist.moc"
