#include "notelayout.h"

#include "blockheights.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QtMath>

namespace {

// Laid-out blocks kept before the oldest are cleared; a screen shows a few dozen.
constexpr size_t laidOutLimit = 2000;
// Up to this many blocks, a change, a new width or new formats for the whole note estimate
// every block they touch again; beyond it, blocks whose text stayed keep their height until
// they are laid out.
constexpr int reestimateLimit = 20000;
// Changed blocks up to this many are laid out at once, so that the paragraph being edited never
// shows an estimate and the size told to the view is right from the first paint.
constexpr int immediateLimit = 64;
// A line as wide as this never wraps.
constexpr qreal unboundedWidth = 1 << 24;

// Marks a laid-out block on the layout's list, for as long as the block lives.
class LaidOutMark : public QTextBlockUserData
{
public:
    LaidOutMark(std::shared_ptr<std::list<QTextBlock>> list, const QTextBlock &block)
        : m_list(std::move(list))
        , m_entry(m_list->insert(m_list->end(), block))
    {
    }
    ~LaidOutMark() override { m_list->erase(m_entry); }
    bool isOn(const std::list<QTextBlock> *list) const { return m_list.get() == list; }

private:
    std::shared_ptr<std::list<QTextBlock>> m_list;
    std::list<QTextBlock>::iterator m_entry;
};

} // namespace

NoteLayout::NoteLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
    , m_laidOut(std::make_shared<std::list<QTextBlock>>())
    , m_length(document->characterCount())
    , m_blockCount(document->blockCount())
{
    m_lineWidth = lineWidth();
    m_onlyCharFormat = onlyCharFormat();
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        block.clearLayout();
        BlockHeights::setHeight(block, estimatedHeight(block));
    }
    m_reportedSize = documentSize();
}

NoteLayout::Margins NoteLayout::frameMargins() const
{
    const QTextFrameFormat format = document()->rootFrame()->frameFormat();
    const qreal edge = format.border() + format.padding();
    return { format.leftMargin() + edge, format.topMargin() + edge, format.rightMargin() + edge,
        format.bottomMargin() + edge };
}

qreal NoteLayout::pageWidth() const
{
    return document()->pageSize().width();
}

qreal NoteLayout::lineWidth() const
{
    const Margins margins = frameMargins();
    const qreal page = pageWidth();
    return page > 0 ? qMax<qreal>(0, page - margins.left - margins.right) : unboundedWidth;
}

bool NoteLayout::isUnsized() const
{
    return document()->pageSize().isNull();
}

QSizeF NoteLayout::documentSize() const
{
    if (isUnsized())
        return {};
    const Margins margins = frameMargins();
    const qreal width = pageWidth() > 0 ? pageWidth() : margins.left + margins.right;
    return { width, margins.top + BlockHeights::total(document()) + margins.bottom };
}

QRectF NoteLayout::frameBoundingRect(QTextFrame *frame) const
{
    if (frame != document()->rootFrame())
        return {};
    return { QPointF(0, 0), documentSize() };
}

QPointF NoteLayout::blockOrigin(const QTextBlock &block) const
{
    const Margins margins = frameMargins();
    return { margins.left, margins.top + BlockHeights::top(block) };
}

QRectF NoteLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid() || isUnsized())
        return {};
    const QTextLayout *layout = laidOut(block);
    return { layout->position(), layout->boundingRect().size() };
}

QTextLayout *NoteLayout::laidOut(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0) {
        QTextBlock measured = block;
        const qreal before = BlockHeights::height(block);
        if (BlockHeights::setHeight(measured, layOut(block))) {
            sizeMayHaveChanged();
            if (!m_isInDocumentChange) {
                const qreal bottom = frameMargins().top + BlockHeights::top(block) + before;
                auto *self = const_cast<NoteLayout *>(this);
                Q_EMIT self->blockRemeasured(bottom, BlockHeights::height(block) - before);
            }
        }
        keep(block);
    }
    layout->setPosition(blockOrigin(block));
    return layout;
}

qreal NoteLayout::layOut(const QTextBlock &block) const
{
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = block.textDirection();
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(QStyle::visualAlignment(direction, format.alignment()));
    option.setTextDirection(direction);
    if (format.nonBreakableLines() || pageWidth() < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    if (format.hasProperty(QTextFormat::TabPositions))
        option.setTabs(format.tabPositions());

    QTextLayout *layout = block.layout();
    layout->setTextOption(option);
    const qreal indent = format.indent() * document()->indentWidth();
    const qreal left = format.leftMargin() + (direction == Qt::RightToLeft ? 0 : indent);
    const qreal right
        = lineWidth() - format.rightMargin() - (direction == Qt::RightToLeft ? indent : 0);
    const int heightType = format.lineHeightType();
    // As QTextDocumentLayout: each line advances by its height rounded up to a whole pixel,
    // or by the height the paragraph asks for.
    qreal y = format.topMargin();
    bool firstLine = true;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        qreal lineLeft = left;
        qreal lineRight = right;
        if (firstLine) {
            (direction == Qt::RightToLeft ? lineRight : lineLeft)
                += format.textIndent() * (direction == Qt::RightToLeft ? -1 : 1);
            firstLine = false;
        }
        line.setLineWidth(qMax<qreal>(0, lineRight - lineLeft));
        const qreal rawHeight = qCeil(line.ascent() + line.descent() + line.leading());
        const qreal lineHeight = format.lineHeight(rawHeight, 1.0);
        qreal adjustment = 0;
        if (heightType == QTextBlockFormat::FixedHeight)
            adjustment = line.ascent() + qMax<qreal>(line.leading(), 0) - lineHeight * 4 / 5;
        else if (heightType == QTextBlockFormat::MinimumHeight)
            adjustment = line.height() - lineHeight;
        line.setPosition(QPointF(lineLeft, y - adjustment));
        y += lineHeight;
    }
    layout->endLayout();
    return y + format.bottomMargin();
}

NoteLayout::FontMetrics NoteLayout::metricsOf(const QTextBlock &block) const
{
    const int index = m_onlyCharFormat >= 0 ? m_onlyCharFormat : block.charFormatIndex();
    if (const auto known = m_metrics.constFind(index); known != m_metrics.cend())
        return *known;
    const QFont font = block.charFormat().font().resolve(document()->defaultFont());
    const QFontMetricsF metrics(font);
    const FontMetrics measured { qreal(qCeil(
                                     metrics.ascent() + metrics.descent() + metrics.leading())),
        metrics.averageCharWidth() };
    m_metrics.insert(index, measured);
    return measured;
}

int NoteLayout::onlyCharFormat() const
{
    int only = -1;
    const QList<QTextFormat> formats = document()->allFormats();
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (!formats.at(i).isCharFormat())
            continue;
        if (only >= 0)
            return -1;
        only = int(i);
    }
    return only;
}

qreal NoteLayout::estimatedHeight(const QTextBlock &block) const
{
    const FontMetrics metrics = metricsOf(block);
    const int characters = block.length() - 1;
    const qreal width = qMax<qreal>(1, m_lineWidth);
    const qreal lines = qMax<qreal>(1, qCeil(characters * metrics.charWidth / width));
    const QTextBlockFormat format = block.blockFormat();
    return lines * metrics.lineHeight + format.topMargin() + format.bottomMargin();
}

void NoteLayout::keep(const QTextBlock &block) const
{
    // A mark of a layout that was replaced gives way to one of this layout.
    if (const auto *mark = dynamic_cast<LaidOutMark *>(block.userData());
        mark && mark->isOn(m_laidOut.get()))
        return;
    QTextBlock marked = block;
    marked.setUserData(new LaidOutMark(m_laidOut, block));
    if (m_laidOut->size() <= laidOutLimit)
        return;
    // Clears the oldest half, but not what was last painted, which is about to be drawn again.
    const QTextDocument *doc = document();
    const Margins margins = frameMargins();
    const int first = BlockHeights::blockAt(doc, m_painted.top() - margins.top).blockNumber();
    const int last = BlockHeights::blockAt(doc, m_painted.bottom() - margins.top).blockNumber();
    auto entry = m_laidOut->begin();
    for (size_t i = 0; i < laidOutLimit / 2 && entry != m_laidOut->end(); ++i) {
        QTextBlock old = *entry++;
        const int number = old.blockNumber();
        if (number < first || number > last) {
            old.clearLayout();
            old.setUserData(nullptr);
        }
    }
}

void NoteLayout::forgetLaidOut() const
{
    while (!m_laidOut->empty()) {
        QTextBlock block = m_laidOut->front();
        block.clearLayout();
        block.setUserData(nullptr);
    }
}

void NoteLayout::sizeMayHaveChanged() const
{
    if (m_sizeReportPending)
        return;
    m_sizeReportPending = true;
    QMetaObject::invokeMethod(
        const_cast<NoteLayout *>(this), [this] { const_cast<NoteLayout *>(this)->reportSize(); },
        Qt::QueuedConnection);
}

void NoteLayout::reportSizeNow()
{
    reportSize();
}

void NoteLayout::reportSize()
{
    m_sizeReportPending = false;
    const QSizeF size = documentSize();
    if (size == m_reportedSize)
        return;
    m_reportedSize = size;
    Q_EMIT documentSizeChanged(size);
}

void NoteLayout::documentChanged(int from, int /*charsRemoved*/, int charsAdded)
{
    // QTextEdit gives its document a null page until it is first shown; the blocks are
    // measured when it has a width.
    if (isUnsized())
        return;
    const QScopedValueRollback changing(m_isInDocumentChange, true);
    QTextDocument *doc = document();
    const int length = doc->characterCount();
    const int blockCount = doc->blockCount();
    const bool textChanged = length != m_length || blockCount != m_blockCount;
    const bool wholeDocument = from == 0 && charsAdded >= length - 1;
    m_length = length;
    m_blockCount = blockCount;
    if (wholeDocument) {
        // Fonts may resolve differently (a new default font), and format numbers restart when
        // the document is cleared.
        m_metrics.clear();
    }
    // A note just put in has one format; its blocks need not be asked for theirs.
    m_onlyCharFormat = onlyCharFormat();
    const qreal newLineWidth = lineWidth();
    const bool widthChanged = newLineWidth != m_lineWidth;
    m_lineWidth = newLineWidth;

    const Margins margins = frameMargins();
    QTextBlock first = doc->findBlock(from);
    if (!first.isValid())
        first = doc->lastBlock();
    QTextBlock last = doc->findBlock(from + charsAdded);
    if (!last.isValid())
        last = doc->lastBlock();
    const qreal top = margins.top + BlockHeights::top(first);
    const qreal totalBefore = BlockHeights::total(doc);

    if (wholeDocument && !textChanged && blockCount > reestimateLimit) {
        // Formats, the width or the frame of a long note changed, not its text: the laid-out
        // blocks are cleared and laid out again when needed; the others keep their heights.
        forgetLaidOut();
    } else {
        const int changedBlocks = last.blockNumber() - first.blockNumber() + 1;
        const bool measureAll = changedBlocks <= reestimateLimit || widthChanged;
        const bool layOutNow = changedBlocks <= immediateLimit;
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            block.clearLayout();
            if (layOutNow)
                laidOut(block);
            else if (measureAll || BlockHeights::isUnmeasured(block))
                BlockHeights::setHeight(block, estimatedHeight(block));
            if (block == last)
                break;
        }
    }

    const qreal totalAfter = BlockHeights::total(doc);
    const qreal width = documentSize().width();
    if (totalAfter == totalBefore && !widthChanged) {
        const qreal bottom = margins.top + BlockHeights::top(last) + BlockHeights::height(last);
        Q_EMIT update(QRectF(0, top, width, bottom - top));
    } else {
        Q_EMIT update(QRectF(0, top, width, documentSize().height() - top));
    }
    m_sizeReportPending = false;
    reportSize();
}

void NoteLayout::draw(QPainter *painter, const PaintContext &context)
{
    if (isUnsized())
        return;
    const QTextDocument *doc = document();
    const Margins margins = frameMargins();
    const QRectF clip
        = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    m_painted = clip;
    QTextBlock block = BlockHeights::blockAt(doc, clip.top() - margins.top);
    // Laying out may change heights below the first block, never its top: what is drawn is
    // placed from there.
    for (; block.isValid(); block = block.next()) {
        laidOut(block);
        if (block.layout()->position().y() > clip.bottom())
            break;
        drawBlock(painter, context, block);
    }
}

void NoteLayout::drawBlock(
    QPainter *painter, const PaintContext &context, const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    const int blockStart = block.position();
    const int blockLength = block.length();
    const QTextBlockFormat format = block.blockFormat();
    if (const QBrush background = format.background(); background != Qt::NoBrush) {
        QRectF rect = layout->boundingRect();
        rect.translate(layout->position());
        painter->fillRect(rect, background);
    }

    QList<QTextLayout::FormatRange> selections;
    for (const Selection &range : context.selections) {
        const int start = range.cursor.selectionStart() - blockStart;
        const int end = range.cursor.selectionEnd() - blockStart;
        if (start < blockLength && end > 0 && end > start) {
            selections.append({ start, end - start, range.format });
        } else if (!range.cursor.hasSelection()
            && range.format.hasProperty(QTextFormat::FullWidthSelection)
            && block.contains(range.cursor.position())) {
            // A full-width selection needs only a position to name its line.
            const QTextLine line
                = layout->lineForTextPosition(range.cursor.position() - blockStart);
            QTextLayout::FormatRange lineRange { line.textStart(), line.textLength(),
                range.format };
            if (lineRange.start + lineRange.length == blockLength - 1)
                ++lineRange.length;
            selections.append(lineRange);
        }
    }

    const QPen oldPen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    layout->draw(painter, QPointF(), selections, context.clip);

    const bool caretHere
        = context.cursorPosition >= blockStart && context.cursorPosition < blockStart + blockLength;
    const bool preeditCaret = context.cursorPosition < -1 && !layout->preeditAreaText().isEmpty();
    if (caretHere || preeditCaret) {
        const int position = preeditCaret
            ? layout->preeditAreaPosition() - (context.cursorPosition + 2)
            : context.cursorPosition - blockStart;
        bool ok = false;
        int cursorWidth = property("cursorWidth").toInt(&ok);
        if (!ok)
            cursorWidth = 1;
        layout->drawCursor(painter, QPointF(), position, cursorWidth);
    }
    painter->setPen(oldPen);
}

int NoteLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    if (isUnsized())
        return accuracy == Qt::ExactHit ? -1 : 0;
    const QTextDocument *doc = document();
    const Margins margins = frameMargins();
    const QTextBlock block = BlockHeights::blockAt(doc, point.y() - margins.top);
    const QTextLayout *layout = laidOut(block);
    const QPointF relative = point - layout->position();
    int offset = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF rect = line.naturalTextRect();
        if (rect.top() > relative.y()) {
            offset = qMin(offset, line.textStart());
        } else if (rect.bottom() <= relative.y()) {
            offset = qMax(offset, line.textStart() + line.textLength());
        } else {
            const bool exact = rect.left() <= relative.x() && rect.right() >= relative.x();
            if (accuracy == Qt::ExactHit && !exact)
                return -1;
            const auto mode = accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                       : QTextLine::CursorBetweenCharacters;
            return block.position() + line.xToCursor(relative.x(), mode);
        }
    }
    if (accuracy == Qt::ExactHit)
        return -1;
    return block.position() + qMin(offset, block.length() - 1);
}
