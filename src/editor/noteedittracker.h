#pragma once

#include "lineending.h"

#include <QObject>
#include <QString>

class WispenTextView;

// Keeps the endings of a note's line breaks in step with its view's document, and turns each
// change of the document into an edit of the note's plain text, in the note's own positions
// and endings, so that the tab's text can follow typing without the whole document being read.
class NoteEditTracker : public QObject
{
    Q_OBJECT

public:
    struct Edit
    {
        qsizetype position = 0;
        qsizetype removed = 0;
        QString added;
    };

    explicit NoteEditTracker(WispenTextView *view);

    // The ending of every paragraph break of the document, in order.
    const LineEndings &lineEndings() const { return m_endings; }
    // Starts over from the endings of a note put in whole, which is no edit.
    void reset(LineEndings endings);

    // Whether a note of noteLength characters is as long as the document, as it is when the
    // edits kept the two in step. Costs nothing, unlike comparing the texts.
    bool matchesNoteLength(qsizetype noteLength) const;

Q_SIGNALS:
    // A change of the text; content swaps and format-only changes make none.
    void edited(const NoteEditTracker::Edit &edit);

private:
    void recordChange(int position, int removed, int added);
    bool keepCrApartFromLf(int position, int added, qsizetype first, qsizetype breaksAdded);

    WispenTextView *m_view = nullptr;
    int m_blockCount = 1;
    LineEndings m_endings;
};
