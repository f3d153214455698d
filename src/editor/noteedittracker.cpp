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

QList<NoteEditTracker::Edit> NoteEditTracker::takeEdits()
{
    return std::exchange(m_edits, {});
}

bool NoteEditTracker::matchesNoteLength(qsizetype noteLength) const
{
    const QTextDocument *document = m_view->document();
    const qsizetype documentLength = document->characterCount() - 1;
    const qsizetype extraBreakUnits
        = m_view->lineEnding() == LineEnding::CRLF ? document->blockCount() - 1 : 0;
    return noteLength - extraBreakUnits == documentLength;
}

qsizetype NoteEditTracker::breaksBefore(int position) const
{
    return m_view->document()->findBlock(position).blockNumber();
}

void NoteEditTracker::recordChange(int position, int removed, int added)
{
    const QTextDocument *document = m_view->document();
    const int oldBlockCount = std::exchange(m_blockCount, document->blockCount());
    if (m_view->isReplacingContent()) {
        m_edits.clear();
        return;
    }
    if (m_view->isApplyingFormat())
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
    QString text = cursor.selectedText();
    const qsizetype breaksAdded = text.count(QChar::ParagraphSeparator);
    text.replace(QChar::ParagraphSeparator, u'\n');

    Edit edit { position, removed, LineEndings::fromDocument(text, m_view->lineEnding()) };
    // In CR LF notes every earlier paragraph break is two characters of the note.
    if (m_view->lineEnding() == LineEnding::CRLF) {
        const qsizetype breaksRemoved = oldBlockCount - m_blockCount + breaksAdded;
        edit.position += breaksBefore(position);
        edit.removed += breaksRemoved;
    }
    m_edits.append(std::move(edit));
}
