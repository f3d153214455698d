#pragma once

#include <QTextBlock>
#include <QTextDocument>

// The height of every block, kept in the document's own block tree: the line-count field of
// each block holds its height in quarter pixels, and the tree keeps the sums above each block
// through every insert, removal, undo and redo in logarithmic time. A block the document has
// just made carries 1 there, which no real height is; that marks it as never measured.
namespace BlockHeights {

inline constexpr int unitsPerPixel = 4;

inline bool isUnmeasured(const QTextBlock &block)
{
    return block.lineCount() == 1;
}

inline qreal height(const QTextBlock &block)
{
    return quint32(block.lineCount()) / qreal(unitsPerPixel);
}

// Stores height, never as the mark of an unmeasured block; true when it differs from what was
// stored. The field is unsigned 32 bits in the tree: heights add up to about a billion pixels.
inline bool setHeight(QTextBlock &block, qreal height)
{
    const int units = int(quint32(qMax(qRound64(height * unitsPerPixel), qint64(2))));
    if (block.lineCount() == units)
        return false;
    block.setLineCount(units);
    return true;
}

// The sum of the heights of the blocks before block.
inline qreal top(const QTextBlock &block)
{
    return quint32(block.firstLineNumber()) / qreal(unitsPerPixel);
}

inline qreal total(const QTextDocument *document)
{
    return quint32(document->lineCount()) / qreal(unitsPerPixel);
}

// The block that covers y, counted from the top of the first block; the first or the last
// block beyond either end.
inline QTextBlock blockAt(const QTextDocument *document, qreal y)
{
    if (y <= 0)
        return document->firstBlock();
    if (y >= total(document))
        return document->lastBlock();
    const QTextBlock block
        = document->findBlockByLineNumber(int(quint32(qint64(y * unitsPerPixel))));
    return block.isValid() ? block : document->lastBlock();
}

} // namespace BlockHeights
