#pragma once

#include <QList>
#include <QObject>
#include <QString>

class WispenTextView;

// Turns the document's change notifications into edits of the note's plain text, in the
// note's own positions and line-ending style, so that the tab's text can follow typing
// without the whole document being read on every keystroke.
class NoteEditTracker : public QObject
{
public:
    struct Edit
    {
        qsizetype position = 0;
        qsizetype removed = 0;
        QString added;
    };

    explicit NoteEditTracker(WispenTextView *view);

    // The edits since the last call, oldest first. Content swaps and format-only changes
    // leave none.
    QList<Edit> takeEdits();

    // Whether a note of noteLength characters is as long as the document, as it is when the
    // edits kept the two in step. Costs nothing, unlike comparing the texts.
    bool matchesNoteLength(qsizetype noteLength) const;

private:
    void recordChange(int position, int removed, int added);
    qsizetype breaksBefore(int position) const;

    WispenTextView *m_view = nullptr;
    int m_blockCount = 1;
    QList<Edit> m_edits;
};
