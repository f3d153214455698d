#include "editor/checklist.h"
#include "editor/richtexteditor.h"
#include "editordriver.h"
#include "testmain.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QStyleHints>

using namespace EditorDriver;

class tst_Checklist : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void insertingAnItemPutsItOnALineOfItsOwn_data();
    void insertingAnItemPutsItOnALineOfItsOwn();
    void returnContinuesOrEndsTheList_data();
    void returnContinuesOrEndsTheList();
    void shiftReturnKeepsASoftLineBreakInsideTheItem();
    void eachChecklistEditIsOneUndoStepAndOneTabUpdate();
    void aReadOnlyViewRefusesTheEditsButStillSwallowsReturn();
    void clickingAGlyphTicksOrUnticksIt_data();
    void clickingAGlyphTicksOrUnticksIt();
    void togglingKeepsTheGlyphsFormatAndTheCaret();
    void doubleAndTripleClicksOnAGlyphSelectInstead();

private:
    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<RichTextEditor> m_editor;
    WispenTextView *m_view = nullptr;
};

void tst_Checklist::init()
{
    m_session = std::make_unique<NoteSession>();
    m_editor = std::make_unique<RichTextEditor>(*m_session);
    m_view = m_editor->textView();
    show(m_editor.get());
}

void tst_Checklist::cleanup()
{
    m_editor.reset();
    m_session.reset();
}

void tst_Checklist::insertingAnItemPutsItOnALineOfItsOwn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty note") << QString() << 0 << 0 << u"☐ "_qs;
    QTest::newRow("middle of a line") << u"ab"_qs << 1 << 1 << u"a\n☐ b"_qs;
    QTest::newRow("right after a line break") << u"a\n"_qs << 2 << 2 << u"a\n☐ "_qs;
    QTest::newRow("start of a later line") << u"a\nb"_qs << 2 << 2 << u"a\n☐ b"_qs;
    QTest::newRow("over a selection") << u"abc"_qs << 2 << 1 << u"a\n☐ c"_qs;
    QTest::newRow("after a soft line break") << u"a\u2028"_qs << 2 << 2 << u"a\u2028\n☐ "_qs;
}

void tst_Checklist::insertingAnItemPutsItOnALineOfItsOwn()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);
    setText(m_view, text);
    select(m_view, anchor, position);

    Checklist::insertItem(m_view);

    QCOMPARE(m_view->plainText(), expected);
    QCOMPARE(m_session->tabs().first().cachedText, expected);
    const int insertedEnd = std::min(anchor, position) + int(expected.size() - text.size())
        + std::abs(anchor - position);
    QCOMPARE(m_view->textCursor().position(), insertedEnd);
    QVERIFY(!m_view->textCursor().hasSelection());
    m_view->undo();
    QCOMPARE(m_view->plainText(), text);
}

void tst_Checklist::returnContinuesOrEndsTheList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCaret");

    QTest::newRow("end of an item") << u"☐ milk"_qs << 6 << u"☐ milk\n☐ "_qs << 9;
    QTest::newRow("after a ticked item") << u"☑ milk"_qs << 6 << u"☑ milk\n☐ "_qs << 9;
    QTest::newRow("middle of an item") << u"☐ milk"_qs << 4 << u"☐ mi\n☐ lk"_qs << 7;
    QTest::newRow("two spaces after the glyph") << u"☐  x"_qs << 4 << u"☐  x\n☐ "_qs << 7;
    QTest::newRow("item after a soft break") << u"x\u2028☐ a"_qs << 5 << u"x\u2028☐ a\n☐ "_qs << 8;
    QTest::newRow("glyph directly before text") << u"☐milk"_qs << 5 << u"☐milk\n"_qs << 6;
    QTest::newRow("space before the glyph") << u" ☐ a"_qs << 4 << u" ☐ a\n"_qs << 5;
    QTest::newRow("plain line after a soft break")
        << u"☐ a\u2028b"_qs << 5 << u"☐ a\u2028b\n"_qs << 6;
    QTest::newRow("empty note") << QString() << 0 << u"\n"_qs << 1;
    QTest::newRow("empty item between lines") << u"☐ a\n☐ \nb"_qs << 6 << u"☐ a\nb"_qs << 4;
    QTest::newRow("empty last item") << u"☐ a\n☐ "_qs << 6 << u"☐ a\n"_qs << 4;
    QTest::newRow("bare ticked glyph") << u"☐ a\n☑"_qs << 5 << u"☐ a\n"_qs << 4;
    QTest::newRow("caret before an empty item's glyph") << u"☐ \nb"_qs << 0 << u"b"_qs << 0;
    QTest::newRow("CR LF note") << u"☐ a\r\n"_qs << 3 << u"☐ a\r\n☐ \r\n"_qs << 6;
}

void tst_Checklist::returnContinuesOrEndsTheList()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, expected);
    QFETCH(int, expectedCaret);
    setText(m_view, text);
    m_view->placeCaret(caret);

    QTest::keyClick(m_view, Qt::Key_Return);

    QCOMPARE(m_view->plainText(), expected);
    QCOMPARE(m_view->textCursor().position(), expectedCaret);
    QCOMPARE(m_session->tabs().first().cachedText, expected);
}

void tst_Checklist::shiftReturnKeepsASoftLineBreakInsideTheItem()
{
    setText(m_view, u"☐ a"_qs);
    m_view->placeCaret(3);
    QTest::keyClick(m_view, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(m_view->plainText(), u"☐ a\u2028"_qs);

    QTest::keyClick(m_view, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_view->plainText(), u"☐ a\u2028\n"_qs);
}

void tst_Checklist::eachChecklistEditIsOneUndoStepAndOneTabUpdate()
{
    type(m_view, u"☐ milk"_qs);
    QSignalSpy notifications(m_session.get(), &NoteSession::objectWillChange);

    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(notifications.size(), 1);
    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(notifications.size(), 2);
    Checklist::insertItem(m_view);
    QCOMPARE(notifications.size(), 3);
    QCOMPARE(m_session->tabs().first().cachedText, u"☐ milk\n☐ "_qs);

    m_view->undo();
    QCOMPARE(m_view->plainText(), u"☐ milk\n"_qs);
    m_view->undo();
    QCOMPARE(m_view->plainText(), u"☐ milk\n☐ "_qs);
    m_view->undo();
    QCOMPARE(m_view->plainText(), u"☐ milk"_qs);
    QCOMPARE(m_session->tabs().first().cachedText, u"☐ milk"_qs);
}

void tst_Checklist::aReadOnlyViewRefusesTheEditsButStillSwallowsReturn()
{
    setText(m_view, u"☐ a\n☐ "_qs);
    m_view->setReadOnly(true);
    QSignalSpy changes(m_view, &WispenTextView::textChanged);

    for (const int caret : { 3, 6 }) {
        m_view->placeCaret(caret);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_qs);
        QApplication::sendEvent(m_view, &press);
        QVERIFY2(press.isAccepted(), "Return on a checklist line must be consumed");
    }
    Checklist::insertItem(m_view);
    click(m_view, pointInCharacter(m_view, 0, 0.5));

    QCOMPARE(m_view->plainText(), u"☐ a\n☐ "_qs);
    QCOMPARE(changes.size(), 0);
}

void tst_Checklist::clickingAGlyphTicksOrUnticksIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("expected");

    QTest::newRow("left half of the glyph") << u"☐ a"_qs << 0 << 0.2 << u"☑ a"_qs;
    QTest::newRow("right half of the glyph") << u"☐ a"_qs << 0 << 0.8 << u"☑ a"_qs;
    QTest::newRow("left half of the space after") << u"☐ a"_qs << 1 << 0.2 << u"☑ a"_qs;
    QTest::newRow("right half of the space after") << u"☐ a"_qs << 1 << 0.8 << u"☐ a"_qs;
    QTest::newRow("ticked glyph") << u"☑ a"_qs << 0 << 0.5 << u"☐ a"_qs;
    QTest::newRow("glyph inside a line") << u"a ☐ b"_qs << 2 << 0.5 << u"a ☑ b"_qs;
    QTest::newRow("two glyphs, the nearer wins") << u"☐☐"_qs << 1 << 0.2 << u"☐☑"_qs;
    QTest::newRow("plain character") << u"ab"_qs << 0 << 0.5 << u"ab"_qs;
}

void tst_Checklist::clickingAGlyphTicksOrUnticksIt()
{
    QFETCH(QString, text);
    QFETCH(int, index);
    QFETCH(double, fraction);
    QFETCH(QString, expected);
    setText(m_view, text);

    click(m_view, pointInCharacter(m_view, index, fraction));

    QCOMPARE(m_view->plainText(), expected);
    QCOMPARE(m_session->tabs().first().cachedText, text == expected ? QString() : expected);
}

void tst_Checklist::togglingKeepsTheGlyphsFormatAndTheCaret()
{
    setText(m_view, u"x ☐ a"_qs);
    QTextCharFormat big;
    big.setFontPointSize(20);
    big.setFontWeight(QFont::Bold);
    QTextCursor glyph(m_view->document());
    glyph.setPosition(2);
    glyph.setPosition(3, QTextCursor::KeepAnchor);
    glyph.mergeCharFormat(big);

    for (const int caret : { 2, 3 }) {
        m_view->placeCaret(caret);
        click(m_view, pointInCharacter(m_view, 2, 0.5));
        QCOMPARE(m_view->textCursor().position(), caret);
        const QTextCharFormat format = m_view->characterFormatAt(2);
        QCOMPARE(format.fontPointSize(), 20.0);
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
    }
    QCOMPARE(m_view->plainText(), u"x ☐ a"_qs);
    m_view->undo();
    QCOMPARE(m_view->plainText(), u"x ☑ a"_qs);
}

void tst_Checklist::doubleAndTripleClicksOnAGlyphSelectInstead()
{
    setText(m_view, u"☐ a"_qs);
    const QPoint onGlyph = pointInCharacter(m_view, 0, 0.5);

    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, onGlyph);
    QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, onGlyph);
    QCOMPARE(m_view->plainText(), u"☐ a"_qs);
    QVERIFY(m_view->textCursor().hasSelection());

    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, onGlyph);
    QCOMPARE(m_view->plainText(), u"☐ a"_qs);
    QCOMPARE(m_view->textCursor().selectedText(), u"☐ a"_qs);

    // Once the double-click interval has passed, a press is a single click again.
    QStyleHints *hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(1);
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, onGlyph);
    QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, onGlyph);
    QTest::qWait(20);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, onGlyph);
    hints->setMouseDoubleClickInterval(interval);
    QCOMPARE(m_view->plainText(), u"☑ a"_qs);
}

WISPEN_TEST_MAIN(tst_Checklist)
#include "tst_checklist.moc"
