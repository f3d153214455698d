#pragma once

#include <QUuid>
#include <QWidget>

class NoteSession;
class WispenTextView;

// The window's editing surface: one WispenTextView bound to the session. Edits reach the
// active tab; a change of the selected tab reloads the view with that tab's text.
class RichTextEditor : public QWidget
{
    Q_OBJECT

public:
    explicit RichTextEditor(NoteSession &session, QWidget *parent = nullptr);

    WispenTextView *textView() const { return m_textView; }

private:
    NoteSession &m_session;
    WispenTextView *m_textView = nullptr;
};
