#pragma once

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QRectF>
#include <QTextBlock>
#include <list>
#include <memory>

// The layout of a note's document that lays out only the blocks someone looks at: those
// painted, and those Qt asks about for the caret, a click or a move between lines. Every other
// block has an estimated height, from its length and the line height of its font, until it is
// laid out. Heights live in BlockHeights, so an edit costs the blocks it touches and a
// logarithm, whatever the length of the note. It draws what QTextDocumentLayout draws for a
// note's document: one root frame, paragraphs with character formats and an alignment each.
class NoteLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    explicit NoteLayout(QTextDocument *document);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    // Tells the size now rather than once control is back in the event loop.
    void reportSizeNow();

    // How many blocks hold a laid-out QTextLayout; far-away ones are cleared as others come in.
    int laidOutBlockCount() const { return int(m_laidOut->size()); }

Q_SIGNALS:
    // A block was laid out outside an edit and its height differs from its estimate by delta:
    // everything below bottom, its end before, moved by delta.
    void blockRemeasured(qreal bottom, qreal delta);

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    struct Margins
    {
        qreal left = 0;
        qreal top = 0;
        qreal right = 0;
        qreal bottom = 0;
    };
    struct FontMetrics
    {
        qreal lineHeight = 0;
        qreal charWidth = 0;
    };

    bool isUnsized() const;
    Margins frameMargins() const;
    qreal pageWidth() const;
    qreal lineWidth() const;
    QPointF blockOrigin(const QTextBlock &block) const;
    // Lays out block if it is not, and stores its height; the block's QTextLayout is then at
    // its place in the document.
    QTextLayout *laidOut(const QTextBlock &block) const;
    qreal layOut(const QTextBlock &block) const;
    qreal estimatedHeight(const QTextBlock &block) const;
    FontMetrics metricsOf(const QTextBlock &block) const;
    // The number of the one character format the document has, or -1 when it has more.
    int onlyCharFormat() const;
    void keep(const QTextBlock &block) const;
    void forgetLaidOut() const;
    void drawBlock(QPainter *painter, const PaintContext &context, const QTextBlock &block) const;
    // A height changed outside documentChanged(): the size is told once control is back in the
    // event loop, never from inside a paint.
    void sizeMayHaveChanged() const;
    void reportSize();

    // Blocks with lines in their QTextLayout, oldest first. Each carries a mark as its user
    // data that takes it off the list when the document deletes the block.
    std::shared_ptr<std::list<QTextBlock>> m_laidOut;
    mutable QHash<int, FontMetrics> m_metrics;
    mutable QRectF m_painted;
    mutable bool m_sizeReportPending = false;
    bool m_isInDocumentChange = false;
    QSizeF m_reportedSize;
    qreal m_lineWidth = -1;
    int m_onlyCharFormat = -1;
    int m_length = 0;
    int m_blockCount = 0;
};
