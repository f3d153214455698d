#include "richtexteditor.h"

#include "checklist.h"
#include "session/notesession.h"
#include "wispentextview.h"

#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

RichTextEditor::RichTextEditor(NoteSession &session, QWidget *parent)
    : QWidget(parent)
    , m_coordinator(new Coordinator(session, this))
    , m_textView(new WispenTextView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_textView);
    setFocusProxy(m_textView);

    configureTextView();
    m_textView->setTypingAttributes(NoteSession::defaultAttributes());
    connectTextView();
    session.attachTextView(m_textView);
    m_coordinator->setLastAppliedTabId(session.selectedTabId());
    connect(&session, &NoteSession::tabShown, this, [this](const QUuid &id) {
        m_coordinator->setLastAppliedTabId(id);
        scheduleFocus();
    });
    scheduleFocus();
}

void RichTextEditor::configureTextView()
{
    WispenTextView *view = m_textView;
    view->setAccessibleName(QStringLiteral("Note"));
    view->setAcceptRichText(true);
    view->setUndoRedoEnabled(true);
    view->setFont(TextDefaults::font());
    view->document()->setDefaultFont(TextDefaults::font());
    // The text itself is transparent over the viewport, which paints the text background.
    view->viewport()->setBackgroundRole(QPalette::Base);
    view->viewport()->setAutoFillBackground(true);
    view->setFrameShape(QFrame::NoFrame);
    view->setLineWrapMode(QTextEdit::WidgetWidth);
    view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void RichTextEditor::connectTextView()
{
    WispenTextView *view = m_textView;
    Coordinator *coordinator = m_coordinator;
    view->installEventFilter(coordinator);
    coordinator->track(view);
    connect(view, &WispenTextView::textChanged, coordinator,
        [coordinator, view] { coordinator->textDidChange(view); });
    connect(view, &WispenTextView::cursorPositionChanged, coordinator,
        &Coordinator::textViewDidChangeSelection);
    connect(view, &WispenTextView::selectionChanged, coordinator,
        &Coordinator::textViewDidChangeSelection);
}

void RichTextEditor::scheduleFocus()
{
    QTimer::singleShot(0, m_textView, [view = m_textView] {
        if (view->window() != view)
            view->setFocus(Qt::OtherFocusReason);
    });
}

RichTextEditor::Coordinator::Coordinator(NoteSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_lastAppliedTabId(session.selectedTabId())
{
}

void RichTextEditor::Coordinator::textViewDidChangeSelection()
{
    // Qt reports a selection change as two signals; one refresh after the event is enough.
    if (m_isRefreshPending)
        return;
    m_isRefreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_isRefreshPending = false;
        m_session.updateFormattingState();
    });
}

void RichTextEditor::Coordinator::track(WispenTextView *textView)
{
    m_edits = textView->editTracker();
    connect(m_edits, &NoteEditTracker::edited, this,
        [this](const NoteEditTracker::Edit &edit) { m_pendingEdits.append(edit); });
}

void RichTextEditor::Coordinator::textDidChange(WispenTextView *textView)
{
    // Qt reports a change of formats alone as a text change too; the tab's text stays.
    if (textView->isApplyingFormat())
        return;
    // Reading a long note whole costs more than the keystroke itself: the tab's text takes
    // the edit instead, and is read whole only should the two ever fall out of step.
    for (const NoteEditTracker::Edit &edit : std::exchange(m_pendingEdits, {}))
        m_session.applyEditToActiveTab(edit.position, edit.removed, edit.added);
    if (!m_edits || !m_edits->matchesNoteLength(m_session.activeTabPlainText().size()))
        m_session.updateActiveTabText(textView->plainText());
}

bool RichTextEditor::Coordinator::eventFilter(QObject *watched, QEvent *event)
{
    auto *textView = qobject_cast<WispenTextView *>(watched);
    if (!textView || event->type() != QEvent::KeyPress)
        return false;
    if (!WispenTextView::isNewlineCommand(static_cast<QKeyEvent *>(event)))
        return false;
    return handleChecklistNewline(textView);
}

bool RichTextEditor::Coordinator::handleChecklistNewline(WispenTextView *textView)
{
    return Checklist::handleNewline(textView);
}
