#include "noteedittracker.h"

#include "wispentextview.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

NoteEditTracker::NoteEditTracker(WispenTextView *view)
    : QObject(view)
    , m_view(view)
    , m_blockCount(view->document()->blockCount())
{
    connect(view->document(), &QTextDocument::contentsChange, this, &NoteEditTracker::recordChange);
}

void NoteEditTracker::reset(LineEndings endings)
{
    m_endings = std::move(endings);
}

bool NoteEditTracker::matchesNoteLength(qsizetype noteLength) const
{
    const qsizetype documentLength = m_view->document()->characterCount() - 1;
    return noteLength - m_endings.extraLength() == documentLength;
}

void NoteEditTracker::recordChange(int position, int removed, int added)
{
    const QTextDocument *document = m_view->document();
    const int oldBlockCount = std::exchange(m_blockCount, document->blockCount());
    // A note put in whole brings its endings through reset().
    if (m_view->isReplacingContent() || m_view->isApplyingFormat())
        return;
    // Qt counts the document's closing paragraph mark into a change that reaches the end;
    // the note has no such mark.
    const int end = document->characterCount() - 1;
    if (position + added > end) {
        const int beyond = position + added - end;
        added -= beyond;
        removed -= beyond;
    }
    if (added < 0 || removed < 0)
        return;

    QTextCursor cursor(m_view->document());
    cursor.setPosition(position);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    const QString text = cursor.selectedText();
    const qsizetype breaksAdded = text.count(QChar::ParagraphSeparator);
    const qsizetype breaksRemoved = oldBlockCount - m_blockCount + breaksAdded;
    // The breaks before the change are as many as the blocks before its block, and stay.
    const qsizetype first = document->findBlock(position).blockNumber();
    const qsizetype extraBefore = m_endings.extraLengthBefore(first);
    const qsizetype extraRemoved = m_endings.extraLengthBefore(first + breaksRemoved) - extraBefore;
    m_endings.replace(first, breaksRemoved, breaksAdded);
    Q_EMIT edited(Edit { position + extraBefore, removed + extraRemoved,
        LineEndings::written(text, m_endings.newEnding()) });
}
