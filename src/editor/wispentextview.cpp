#include "wispentextview.h"

#include "checklist.h"
#include "clipboardtext.h"
#include "formattingreader.h"
#include "noteedittracker.h"
#include "notelayout.h"
#include "selectionmimedata.h"
#include "session/notesession.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

namespace {

bool isPasteAsPlainText(const QKeyEvent *event)
{
    return event->keyCombination()
        == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_V);
}

} // namespace

WispenTextView::WispenTextView(QWidget *parent)
    : QTextEdit(parent)
    , m_editTracker(new NoteEditTracker(this))
{
    // Lays out only what is looked at, so that typing costs the same in any length of note.
    auto *layout = new NoteLayout(document());
    document()->setDocumentLayout(layout);
    connect(layout, &NoteLayout::blockRemeasured, this, [this, layout](qreal bottom, qreal delta) {
        // A block above the view turned out taller or shorter than estimated: the view moves
        // with what it shows, so that nothing on screen jumps.
        QScrollBar *bar = verticalScrollBar();
        if (bottom > bar->value())
            return;
        layout->reportSizeNow();
        bar->setValue(bar->value() + qRound(delta));
        viewport()->update();
    });
    setAcceptRichText(true);
    setUndoRedoEnabled(true);
    applyTextInset();
}

QString WispenTextView::plainText() const
{
    ++m_wholeTextReads;
    return m_editTracker->lineEndings().written(document()->toRawText());
}

QString WispenTextView::selectedPlainText() const
{
    QString text = textCursor().selectedText();
    return text.replace(QChar::ParagraphSeparator, u'\n');
}

void WispenTextView::replaceContent(const QString &text, const TextAttributes &attributes)
{
    // A swap of content is no edit by the user: it must not be reported as a text change.
    const QSignalBlocker blocker(this);
    const QScopedValueRollback replacing(m_isReplacingContent, true);
    // QTextEdit's own setPlainText() leaves no undo step and keeps its cursor out of the way
    // while the text goes in; a cursor of ours would be moved and reported paragraph by
    // paragraph, which costs seconds for a long note. It gives the text the current format,
    // and makes a paragraph break of exactly the endings that LineEndings reads.
    setCurrentCharFormat(attributes.character);
    setPlainText(text);
    m_editTracker->reset(LineEndings::read(text));
    applyTextInset();
    // New paragraphs are left-aligned already; any other alignment costs a pass over them.
    if (textCursor().blockFormat().alignment() != attributes.paragraph.alignment()) {
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        cursor.mergeBlockFormat(attributes.paragraph);
        document()->setUndoRedoEnabled(true);
    }
}

TextAttributes WispenTextView::typingAttributes() const
{
    return TextAttributes { currentCharFormat(), textCursor().blockFormat() };
}

void WispenTextView::setTypingAttributes(const TextAttributes &attributes)
{
    setCurrentCharFormat(attributes.character);
    const Qt::Alignment alignment = attributes.paragraph.alignment();
    // Every block format change is an undo step in Qt, so an unchanged alignment is left be.
    if (textCursor().blockFormat().alignment() == alignment)
        return;
    applyFormat([&](QTextCursor &cursor) {
        cursor.setPosition(textCursor().position());
        QTextBlockFormat block = cursor.blockFormat();
        block.setAlignment(alignment);
        cursor.setBlockFormat(block);
    });
}

FormattingState WispenTextView::formattingState() const
{
    return FormattingReader::read(*this);
}

void WispenTextView::takeFocus()
{
    setFocus(Qt::OtherFocusReason);
}

QTextCharFormat WispenTextView::characterFormatAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().contains(position))
            return it.fragment().charFormat();
    }
    // A paragraph break carries no fragment of its own; the format before it stands in.
    QTextCursor cursor(document());
    cursor.setPosition(position);
    return cursor.charFormat();
}

bool WispenTextView::editAsProgram(const std::function<void(QTextCursor &)> &change)
{
    if (isReadOnly())
        return false;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    change(cursor);
    cursor.endEditBlock();
    return true;
}

void WispenTextView::applyFormat(const std::function<void(QTextCursor &)> &change)
{
    const QScopedValueRollback formatting(m_isApplyingFormat, true);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    change(cursor);
    cursor.endEditBlock();
}

void WispenTextView::placeCaret(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
}

bool WispenTextView::isNewlineCommand(const QKeyEvent *event)
{
    const bool isNewlineKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    return isNewlineKey && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

void WispenTextView::copy()
{
    if (!textCursor().hasSelection())
        return;
    if (NoteSession::shared().copyPreservesLineBreaks())
        QTextEdit::copy();
    else
        QGuiApplication::clipboard()->setText(ClipboardText::flattened(selectedPlainText()));
}

void WispenTextView::pasteAsPlainText()
{
    paste();
}

bool WispenTextView::event(QEvent *event)
{
    // Claim the key before any window shortcut, so the focused editor handles it itself.
    if (event->type() == QEvent::ShortcutOverride
        && isPasteAsPlainText(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QTextEdit::event(event);
}

void WispenTextView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    if (isPasteAsPlainText(event)) {
        pasteAsPlainText();
        event->accept();
        return;
    }
    const bool breaksLine
        = isNewlineCommand(event) || event->matches(QKeySequence::InsertLineSeparator);
    if (breaksLine && !isReadOnly()) {
        insertNewline();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void WispenTextView::mousePressEvent(QMouseEvent *event)
{
    // Qt reports a third press as a plain press; one that soon follows a double click is a
    // triple click and selects, like the double click before it.
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const bool isTripleClick
        = m_sinceDoubleClick.isValid() && m_sinceDoubleClick.elapsed() < interval;
    m_sinceDoubleClick.invalidate();
    if (event->button() == Qt::LeftButton && !isTripleClick) {
        if (const auto glyph = Checklist::glyphIndexAt(this, event->position().toPoint())) {
            Checklist::toggle(this, *glyph);
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void WispenTextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_sinceDoubleClick.start();
    QTextEdit::mouseDoubleClickEvent(event);
}

void WispenTextView::contextMenuEvent(QContextMenuEvent *event)
{
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos() + scrolled));
    // The menu's Copy must follow the line-break preference like the keyboard's.
    if (auto *copyAction = menu->findChild<QAction *>(QStringLiteral("edit-copy"))) {
        disconnect(copyAction, &QAction::triggered, nullptr, nullptr);
        connect(copyAction, &QAction::triggered, this, &WispenTextView::copy);
    }
    menu->exec(event->globalPos());
}

QMimeData *WispenTextView::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    return new SelectionMimeData(cursor.selection(), selectedPlainText());
}

bool WispenTextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText() && !ClipboardText::holdsLocalFiles(source);
}

void WispenTextView::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !canInsertFromMimeData(source))
        return;
    // Formatting never comes in from outside: the text takes the typing format, like typing.
    insertPlainText(source->text());
}

void WispenTextView::insertNewline()
{
    // Qt's own Return, on an empty paragraph with any paragraph format (the alignment every
    // restored note carries), only clears that format and inserts nothing. A new paragraph
    // here keeps the alignment and the typing format, as typing on would.
    QTextCursor cursor = textCursor();
    cursor.insertBlock();
    ensureCursorVisible();
}

void WispenTextView::applyTextInset()
{
    // The root frame's margins scroll with the text; clearing the document resets them. The
    // change is kept off the undo stack, where Ctrl+Z could take the inset away.
    QTextDocument *doc = document();
    const bool undoEnabled = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextFrame *root = doc->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setLeftMargin(horizontalInset);
    format.setRightMargin(horizontalInset);
    format.setTopMargin(verticalInset);
    format.setBottomMargin(verticalInset);
    root->setFrameFormat(format);
    doc->setUndoRedoEnabled(undoEnabled);
}

ViewState WispenTextView::viewState() const
{
    const QTextCursor cursor = textCursor();
    const ViewState state { cursor.anchor(), cursor.position(), verticalScrollBar()->value() };
    const QTextBlock top = cursorForPosition(QPoint(0, 0)).block();
    const qreal topY = document()->documentLayout()->blockBoundingRect(top).top();
    m_shownTops.push_front({ state, top.position(), state.scrollY - qRound(topY) });
    if (m_shownTops.size() > 32)
        m_shownTops.pop_back();
    return state;
}

void WispenTextView::restoreViewState(const ViewState &state)
{
    const int end = document()->characterCount() - 1;
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(state.anchor, 0, end));
    cursor.setPosition(std::clamp(state.position, 0, end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    // setTextCursor() scrolled to the caret; the scroll position as it was wins.
    int scrollY = state.scrollY;
    const auto shown = std::find_if(m_shownTops.cbegin(), m_shownTops.cend(),
        [&](const ShownTop &top) { return top.state == state; });
    if (shown != m_shownTops.cend() && shown->position <= end) {
        QAbstractTextDocumentLayout *layout = document()->documentLayout();
        const QTextBlock top = document()->findBlock(shown->position);
        scrollY = qRound(layout->blockBoundingRect(top).top()) + shown->offset;
        // What will show is laid out first, so that the scroll range holds it.
        const int bottom = scrollY + viewport()->height();
        for (QTextBlock block = top;
             block.isValid() && layout->blockBoundingRect(block).top() < bottom;
             block = block.next()) { }
        if (auto *noteLayout = qobject_cast<NoteLayout *>(layout))
            noteLayout->reportSizeNow();
    }
    verticalScrollBar()->setValue(scrollY);
}
