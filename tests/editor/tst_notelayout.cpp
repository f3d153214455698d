#include "editor/checklist.h"
#include "editor/notelayout.h"
#include "editordriver.h"
#include "testmain.h"

#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTextBlock>

using namespace EditorDriver;

namespace {

using Steps = std::function<void(WispenTextView *)>;

// A view set up as the editor sets it up; the reference view lays out with Qt's own layout.
std::unique_ptr<WispenTextView> shownView(bool reference)
{
    auto view = std::make_unique<WispenTextView>();
    if (reference)
        view->document()->setDocumentLayout(nullptr);
    view->setFont(TextDefaults::font());
    view->document()->setDefaultFont(TextDefaults::font());
    view->setFrameShape(QFrame::NoFrame);
    view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view->resize(420, 320);
    view->show();
    return view;
}

// Bold at size over [from, to), or with an alignment given, that alignment for the paragraph.
void format(WispenTextView *view, int from, int to, qreal size, Qt::Alignment alignment = {})
{
    view->applyFormat([&](QTextCursor &cursor) {
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        QTextCharFormat character;
        character.setFontWeight(QFont::Bold);
        character.setFontPointSize(size);
        QTextBlockFormat paragraph;
        paragraph.setAlignment(alignment);
        alignment ? cursor.mergeBlockFormat(paragraph) : cursor.mergeCharFormat(character);
    });
}

// Lets both layouts finish what they do after an event; Qt's own lays out to the end.
void settle(const WispenTextView *view)
{
    QAbstractTextDocumentLayout *layout = view->document()->documentLayout();
    // Qt's layout may stop short after an edit in the middle of a long lazy layout.
    view->document()->markContentsDirty(0, view->document()->characterCount());
    layout->blockBoundingRect(view->document()->lastBlock());
    Q_EMIT layout->documentSizeChanged(layout->documentSize());
    QCoreApplication::processEvents();
}

// Caret rectangles of every position from first to last, the position hit at a grid of
// points and the painted pixels agree, a pixel or a few anti-aliased ones aside.
void expectSameLayout(const WispenTextView *ours, const WispenTextView *qts, int first, int last)
{
    QCOMPARE(ours->verticalScrollBar()->maximum(), qts->verticalScrollBar()->maximum());
    QCOMPARE(ours->verticalScrollBar()->value(), qts->verticalScrollBar()->value());
    QTextCursor cursor(ours->document()), reference(qts->document());
    for (int position = first; position <= last; ++position) {
        cursor.setPosition(position);
        reference.setPosition(position);
        const QRect a = ours->cursorRect(cursor), b = qts->cursorRect(reference);
        const bool near = qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1
            && qAbs(a.bottom() - b.bottom()) <= 1;
        QString where;
        QDebug(&where) << position << a << b;
        QVERIFY2(near, qPrintable(where));
    }
    const QSize size = qts->viewport()->size();
    for (int y = 0; y < size.height(); y += 9) {
        for (int x = 0; x < size.width(); x += 13)
            QCOMPARE(ours->cursorForPosition({ x, y }).position(),
                qts->cursorForPosition({ x, y }).position());
    }
    const QImage a = ours->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage b = qts->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int i = 0; i < a.width() * a.height(); ++i) {
        const QRgb p = a.pixel(i % a.width(), i / a.width()),
                   q = b.pixel(i % a.width(), i / a.width());
        differing
            += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q))
            > 96;
    }
    QVERIFY2(differing <= a.width() * a.height() / 1000, qPrintable(QString::number(differing)));
}

} // namespace

class tst_NoteLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void agreesWithQtsOwnLayout_data();
    void agreesWithQtsOwnLayout();
    void aLargeNoteAgreesWhereScrolledOnceLaidOut_data();
    void aLargeNoteAgreesWhereScrolledOnceLaidOut();
};

void tst_NoteLayout::agreesWithQtsOwnLayout_data()
{
    QTest::addColumn<Steps>("steps");
    const QString words = u"The quick brown fox jumps over the lazy dog and keeps on running "_qs;
    const Steps typed = [words](WispenTextView *view) {
        type(view, words + words + u"\u2029short\u2029\u2029"_qs + words);
    };
    QTest::newRow("typed, wrapped and empty lines") << typed;
    QTest::newRow("bold, sizes, alignments and an input method's preedit")
        << Steps([typed](WispenTextView *view) {
               typed(view);
               format(view, 4, 9, 30);
               format(view, 20, 26, 8);
               format(view, 140, 150, 96);
               format(view, 0, 0, 0, Qt::AlignHCenter);
               format(view, 135, 135, 0, Qt::AlignRight);
               view->placeCaret(30);
               QInputMethodEvent preedit(u"preedit text"_qs, {});
               QApplication::sendEvent(view, &preedit);
           });
    QTest::newRow("ticked checklist and a selection") << Steps([](WispenTextView *view) {
        Checklist::insertItem(view);
        type(view, u"milk"_qs);
        QTest::keyClick(view, Qt::Key_Return);
        type(view, u"bread and a long list of other things to buy at the market"_qs);
        click(view, pointInCharacter(view, 0, 0.5));
        QVERIFY(view->document()->toPlainText().startsWith(Checklist::checkedGlyph));
        select(view, 3, 20);
    });
}

void tst_NoteLayout::agreesWithQtsOwnLayout()
{
    QFETCH(Steps, steps);
    const auto ours = shownView(false), qts = shownView(true);
    QVERIFY(qobject_cast<NoteLayout *>(ours->document()->documentLayout()));
    steps(ours.get());
    steps(qts.get());
    settle(qts.get());
    QCOMPARE(ours->document()->toRawText(), qts->document()->toRawText());
    expectSameLayout(ours.get(), qts.get(), 0, ours->document()->characterCount() - 1);
}

void tst_NoteLayout::aLargeNoteAgreesWhereScrolledOnceLaidOut_data()
{
    QTest::addColumn<double>("scrolledTo");
    QTest::newRow("middle") << 0.5;
    QTest::newRow("end") << 1.0;
}

void tst_NoteLayout::aLargeNoteAgreesWhereScrolledOnceLaidOut()
{
    QFETCH(double, scrolledTo);
    QStringList paragraphs;
    for (int i = 0; i < 20000; ++i) {
        paragraphs << (i % 7 == 0
                ? u"Wide letters, more than estimated: MMMM WWWW MMMM WWWW MMMM WWWW %1"_qs.arg(i)
                : u"Line %1"_qs.arg(i));
    }
    const auto ours = shownView(false), qts = shownView(true);
    auto *layout = qobject_cast<NoteLayout *>(ours->document()->documentLayout());
    for (WispenTextView *view : { ours.get(), qts.get() }) {
        setText(view, paragraphs.join(u'\n'));
        const int middle = view->document()->findBlockByNumber(10000).position();
        format(view, middle, middle + 200, 20);
        format(view, middle + 300, middle + 300, 0, Qt::AlignHCenter);
        view->placeCaret(middle + 5);
        type(view, u"typed "_qs);
        view->viewport()->repaint();
    }
    // Typing in the middle of the note laid out about a screenful, not the note.
    QCOMPARE_LT(layout->laidOutBlockCount(), 100);

    // Blocks above the view that are laid out at last move the view along: what it shows stays.
    ours->verticalScrollBar()->setValue(ours->verticalScrollBar()->maximum() / 2);
    ours->viewport()->repaint();
    const int shown = ours->cursorForPosition({ 0, 0 }).position();
    const int valueBefore = ours->verticalScrollBar()->value();
    for (QTextBlock block = ours->document()->firstBlock(); block.isValid(); block = block.next())
        layout->blockBoundingRect(block);
    QVERIFY(ours->verticalScrollBar()->value() != valueBefore);
    QCOMPARE(ours->cursorForPosition({ 0, 0 }).position(), shown);
    settle(qts.get());
    for (WispenTextView *view : { ours.get(), qts.get() }) {
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(int(bar->maximum() * scrolledTo));
    }
    const int first = qts->cursorForPosition({ 0, 0 }).block().position();
    const QTextBlock last = qts->cursorForPosition(qts->viewport()->rect().bottomRight()).block();
    expectSameLayout(ours.get(), qts.get(), first, last.position() + last.length() - 1);

    // Put in again, as when its tab shows again, the note shows what it showed.
    const int top = ours->cursorForPosition({ 0, 0 }).position();
    const ViewState state = ours->viewState();
    setText(ours.get(), ours->document()->toRawText());
    ours->restoreViewState(state);
    QCOMPARE(ours->cursorForPosition({ 0, 0 }).position(), top);
}

WISPEN_TEST_MAIN(tst_NoteLayout)
#include "tst_notelayout.moc"
