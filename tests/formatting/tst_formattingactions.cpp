#include "editor/richtexteditor.h"
#include "editordriver.h"
#include "formatting/formattingactions.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTextBlock>

using namespace EditorDriver;
using FormattingActions::Trait;

class tst_FormattingActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void boldAndItalicFlipEachRunOfTheSelection_data();
    void boldAndItalicFlipEachRunOfTheSelection();
    void theFirstSelectedCharacterDecidesTheUnderline();
    void sizeStepsStayBetweenEightAndNinetySix_data();
    void sizeStepsStayBetweenEightAndNinetySix();
    void withACaretOnlyWhatIsTypedNextChanges();
    void alignmentCoversWholeParagraphs_data();
    void alignmentCoversWholeParagraphs();
    void returnOnAnEmptyCentredLineStartsANewCentredLine();
    void eachActionIsOneUndoStepAndNeverATextChange();

private:
    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<RichTextEditor> m_editor;
    WispenTextView *m_view = nullptr;
};

namespace {

void mergeFormat(WispenTextView *view, int start, int end, const QTextCharFormat &format)
{
    QTextCursor cursor(view->document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(format);
}

QFont fontAt(WispenTextView *view, int position)
{
    return view->characterFormatAt(position).font().resolve(view->document()->defaultFont());
}

Qt::Alignment alignmentOfLine(WispenTextView *view, int line)
{
    return view->document()->findBlockByNumber(line).blockFormat().alignment();
}

} // namespace

void tst_FormattingActions::init()
{
    m_session = std::make_unique<NoteSession>();
    m_editor = std::make_unique<RichTextEditor>(*m_session);
    m_view = m_editor->textView();
}

void tst_FormattingActions::cleanup()
{
    m_editor.reset();
    m_session.reset();
}

void tst_FormattingActions::boldAndItalicFlipEachRunOfTheSelection_data()
{
    QTest::addColumn<Trait>("trait");
    QTest::newRow("bold") << Trait::Bold;
    QTest::newRow("italic") << Trait::Italic;
}

void tst_FormattingActions::boldAndItalicFlipEachRunOfTheSelection()
{
    QFETCH(Trait, trait);
    const auto has
        = [trait](const QFont &font) { return trait == Trait::Bold ? font.bold() : font.italic(); };
    setText(m_view, u"aabb"_qs);
    QTextCharFormat marked;
    trait == Trait::Bold ? marked.setFontWeight(QFont::Bold) : marked.setFontItalic(true);
    mergeFormat(m_view, 0, 2, marked);
    select(m_view, 0, 4);

    FormattingActions::toggleTrait(trait, m_view);

    QVERIFY(!has(fontAt(m_view, 0)) && !has(fontAt(m_view, 1)));
    QVERIFY(has(fontAt(m_view, 2)) && has(fontAt(m_view, 3)));
    QCOMPARE(fontAt(m_view, 2).pointSizeF(), 11.0);
    QCOMPARE(m_view->textCursor().selectionStart(), 0);
    QCOMPARE(m_view->textCursor().selectionEnd(), 4);
}

void tst_FormattingActions::theFirstSelectedCharacterDecidesTheUnderline()
{
    setText(m_view, u"abcd"_qs);
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    mergeFormat(m_view, 1, 2, underlined);

    select(m_view, 3, 1);
    FormattingActions::toggleUnderline(m_view);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(!m_view->characterFormatAt(i).fontUnderline(), qPrintable(QString::number(i)));

    select(m_view, 0, 3);
    FormattingActions::toggleUnderline(m_view);
    for (int i = 0; i < 3; ++i)
        QVERIFY(m_view->characterFormatAt(i).fontUnderline());
    QVERIFY(!m_view->characterFormatAt(3).fontUnderline());
}

void tst_FormattingActions::sizeStepsStayBetweenEightAndNinetySix_data()
{
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::addColumn<double>("delta");
    QTest::addColumn<double>("expectedFirst");
    QTest::addColumn<double>("expectedSecond");

    QTest::newRow("up at the top") << 96.0 << 95.5 << 1.0 << 96.0 << 96.0;
    QTest::newRow("down at the bottom") << 8.0 << 8.5 << -1.0 << 8.0 << 8.0;
    QTest::newRow("mixed sizes move together") << 9.0 << 20.0 << -1.0 << 8.0 << 19.0;
    QTest::newRow("one at the bound, one not") << 8.0 << 19.0 << -1.0 << 8.0 << 18.0;
    QTest::newRow("not rounded") << 11.0 << 12.5 << 1.0 << 12.0 << 13.5;
}

void tst_FormattingActions::sizeStepsStayBetweenEightAndNinetySix()
{
    QFETCH(double, first);
    QFETCH(double, second);
    QFETCH(double, delta);
    QFETCH(double, expectedFirst);
    QFETCH(double, expectedSecond);
    setText(m_view, u"ab"_qs);
    QTextCharFormat size;
    size.setFontPointSize(first);
    mergeFormat(m_view, 0, 1, size);
    size.setFontPointSize(second);
    mergeFormat(m_view, 1, 2, size);

    select(m_view, 0, 2);
    FormattingActions::adjustFontSize(delta, m_view);
    QCOMPARE(fontAt(m_view, 0).pointSizeF(), expectedFirst);
    QCOMPARE(fontAt(m_view, 1).pointSizeF(), expectedSecond);

    // The same bounds hold for what is typed next.
    m_view->placeCaret(1);
    FormattingActions::adjustFontSize(delta * 200, m_view);
    QCOMPARE(m_view->currentCharFormat().fontPointSize(), delta > 0 ? 96.0 : 8.0);
}

void tst_FormattingActions::withACaretOnlyWhatIsTypedNextChanges()
{
    setText(m_view, u"ab"_qs);
    m_view->placeCaret(1);
    QSignalSpy changes(m_view, &WispenTextView::textChanged);

    FormattingActions::toggleTrait(Trait::Bold, m_view);
    FormattingActions::toggleTrait(Trait::Italic, m_view);
    FormattingActions::toggleUnderline(m_view);
    FormattingActions::adjustFontSize(3, m_view);
    QCOMPARE(changes.size(), 0);
    QVERIFY(!fontAt(m_view, 0).bold() && !fontAt(m_view, 1).bold());

    QTest::keyClicks(m_view, u"X"_qs);
    QCOMPARE(m_view->plainText(), u"aXb"_qs);
    const QFont typed = fontAt(m_view, 1);
    QVERIFY(typed.bold() && typed.italic());
    QVERIFY(m_view->characterFormatAt(1).fontUnderline());
    QCOMPARE(typed.pointSizeF(), 14.0);
    QVERIFY(!fontAt(m_view, 2).bold());

    // Without any font in the typing format, the default font is the one changed.
    m_view->setCurrentCharFormat(QTextCharFormat());
    FormattingActions::adjustFontSize(1, m_view);
    QCOMPARE(m_view->currentCharFormat().fontPointSize(), 12.0);
}

void tst_FormattingActions::alignmentCoversWholeParagraphs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QList<Qt::Alignment>>("expected");

    const Qt::Alignment centre = Qt::AlignHCenter;
    const Qt::Alignment left = Qt::AlignLeft;
    QTest::newRow("caret inside a paragraph")
        << u"one\ntwo\nthree"_qs << 5 << 5 << QList { left, centre, left };
    QTest::newRow("end of one into the start of the next")
        << u"one\ntwo\nthree"_qs << 2 << 5 << QList { centre, centre, left };
    QTest::newRow("selection ending where a line starts, caret there")
        << u"one\ntwo\nthree"_qs << 0 << 4 << QList { centre, centre, left };
    QTest::newRow("empty note") << QString() << 0 << 0 << QList { centre };
}

void tst_FormattingActions::alignmentCoversWholeParagraphs()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QList<Qt::Alignment>, expected);
    setText(m_view, text);
    select(m_view, anchor, position);

    FormattingActions::setAlignment(Qt::AlignHCenter, m_view);

    for (int line = 0; line < expected.size(); ++line)
        QCOMPARE(alignmentOfLine(m_view, line), expected.at(line));
    QCOMPARE(m_view->typingAttributes().paragraph.alignment(), Qt::AlignHCenter);
    QCOMPARE(m_view->plainText(), text);
}

void tst_FormattingActions::returnOnAnEmptyCentredLineStartsANewCentredLine()
{
    FormattingActions::setAlignment(Qt::AlignHCenter, m_view);
    QTest::keyClick(m_view, Qt::Key_Return);
    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(m_view->plainText(), u"\n\n"_qs);
    QCOMPARE(alignmentOfLine(m_view, 2), Qt::AlignHCenter);
}

void tst_FormattingActions::eachActionIsOneUndoStepAndNeverATextChange()
{
    setText(m_view, u"one\ntwo"_qs);
    select(m_view, 1, 6);
    QSignalSpy notifications(m_session.get(), &NoteSession::objectWillChange);
    const std::function<void()> actions[] = {
        [this] { FormattingActions::toggleTrait(Trait::Bold, m_view); },
        [this] { FormattingActions::toggleTrait(Trait::Italic, m_view); },
        [this] { FormattingActions::toggleUnderline(m_view); },
        [this] { FormattingActions::adjustFontSize(5, m_view); },
        [this] { FormattingActions::setAlignment(Qt::AlignRight, m_view); },
    };
    for (const auto &action : actions) {
        select(m_view, 1, 6);
        const QString before = m_view->document()->toHtml();
        action();
        QVERIFY(m_view->document()->toHtml() != before);
        QCOMPARE(notifications.size(), 0);
        m_view->undo();
        QCOMPARE(m_view->document()->toHtml(), before);
        m_view->redo();
        notifications.clear();
    }
    QCOMPARE(m_view->plainText(), u"one\ntwo"_qs);
}

WISPEN_TEST_MAIN(tst_FormattingActions)
#include "tst_formattingactions.moc"
