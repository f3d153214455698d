#include "richtexteditor.h"

#include "session/notesession.h"
#include "wispentextview.h"

#include <QVBoxLayout>

RichTextEditor::RichTextEditor(NoteSession &session, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_textView(new WispenTextView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_textView);
    session.attachTextView(m_textView);
    connect(m_textView, &WispenTextView::textChanged, this,
            [this] { m_session.updateActiveTabText(m_textView->plainText()); });
    setFocusProxy(m_textView);
}
