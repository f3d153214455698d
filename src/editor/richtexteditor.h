#pragma once

#include "noteedittracker.h"

#include <QObject>
#include <QUuid>
#include <QWidget>

class NoteSession;
class WispenTextView;

// The window's editing surface: one WispenTextView bound to the session. Edits reach the
// active tab, selection changes refresh the formatting state, Return on a checklist line
// continues or ends the list, and the view takes the focus when the session shows another tab
// in it.
class RichTextEditor : public QWidget
{
    Q_OBJECT

public:
    // Binds the view to the session: the view's callbacks arrive here.
    class Coordinator : public QObject
    {
    public:
        Coordinator(NoteSession &session, QObject *parent);

        NoteSession &session() const { return m_session; }
        QUuid lastAppliedTabId() const { return m_lastAppliedTabId; }
        void setLastAppliedTabId(const QUuid &id) { m_lastAppliedTabId = id; }

        // Follows the view's edits from here on.
        void track(WispenTextView *textView);

        void textViewDidChangeSelection();
        void textDidChange(WispenTextView *textView);

    protected:
        // The view's new-line command goes to the checklist rules before the view inserts
        // its own break.
        bool eventFilter(QObject *watched, QEvent *event) override;

    private:
        bool handleChecklistNewline(WispenTextView *textView);

        NoteSession &m_session;
        const NoteEditTracker *m_edits = nullptr;
        // Edits made since the last text change was handled, oldest first.
        QList<NoteEditTracker::Edit> m_pendingEdits;
        QUuid m_lastAppliedTabId;
        bool m_isRefreshPending = false;
    };

    explicit RichTextEditor(NoteSession &session, QWidget *parent = nullptr);

    WispenTextView *textView() const { return m_textView; }

private:
    void configureTextView();
    void connectTextView();
    void scheduleFocus();

    Coordinator *m_coordinator = nullptr;
    WispenTextView *m_textView = nullptr;
};
