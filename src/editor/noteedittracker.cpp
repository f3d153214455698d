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
    const bool rewroteNextBreak = keepCrApartFromLf(position, added, first, breaksAdded);
    Edit edit { position + extraBefore, removed + extraRemoved, m_endings.written(text, first) };
    if (rewroteNextBreak) {
        edit.removed += 1;
        edit.added += LineEndings::text(LineEnding::CRLF);
    }
    Q_EMIT edited(edit);
}

// A CR ending right before an LF ending would read back as one CR LF, a line fewer. When an
// edit brings the two together, the break it brought, or the later one when both were there,
// is written CR LF, which reads back apart from any neighbour. True when that is the break
// right after the change, which the edit must then take in.
bool NoteEditTracker::keepCrApartFromLf(
    int position, int added, qsizetype first, qsizetype breaksAdded)
{
    const QTextDocument *document = m_view->document();
    const int end = document->characterCount() - 1;
    const auto isBreak = [&](int at) {
        return at >= 0 && at < end && document->characterAt(at) == QChar::ParagraphSeparator;
    };
    const auto isCrThenLf = [&](int at, qsizetype index) {
        return isBreak(at) && isBreak(at + 1) && m_endings.at(index) == LineEnding::CR
            && m_endings.at(index + 1) == LineEnding::LF;
    };
    if (isCrThenLf(position - 1, first - 1)) {
        m_endings.set(first, LineEnding::CRLF);
        return breaksAdded == 0;
    }
    const qsizetype last = first + breaksAdded - 1;
    if (breaksAdded > 0 && isCrThenLf(position + added - 1, last))
        m_endings.set(last, LineEnding::CRLF);
    return false;
}
