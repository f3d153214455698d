#pragma once

#include "editor/wispentextview.h"
#include "session/notesession.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTextCursor>

// What a person does in the editor, in steps small enough for tests.
namespace EditorDriver {

// A session with a bare text view attached, for tests that need no editor around it:
// `AttachedView attached; auto &[session, view] = attached;`
struct AttachedView
{
    AttachedView() { session.attachTextView(&view); }
    NoteSession session;
    WispenTextView view;
};

inline void show(QWidget *widget)
{
    widget->resize(640, 480);
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
}

inline void setText(WispenTextView *view, const QString &text)
{
    view->replaceContent(text, NoteSession::defaultAttributes());
}

// Types text character by character, as a keyboard with every character on it would.
// QTest::keyClicks() only knows the ASCII keys.
inline void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

inline void select(WispenTextView *view, int anchor, int position)
{
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
}

// A point inside the character at index, at the given fraction of its width from its left
// edge, in viewport coordinates, as the text is laid out on screen.
inline QPoint pointInCharacter(const WispenTextView *view, int index, double fraction)
{
    QTextCursor cursor(view->document());
    cursor.setPosition(index);
    const QRect left = view->cursorRect(cursor);
    cursor.setPosition(index + 1);
    const QRect right = view->cursorRect(cursor);
    return QPoint(left.x() + int((right.x() - left.x()) * fraction), left.center().y());
}

// A format-only change over the selection, as the formatting commands make one.
inline void makeSelectionBold(WispenTextView *view)
{
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const QTextCursor selection = view->textCursor();
    view->applyFormat([&](QTextCursor &cursor) {
        cursor.setPosition(selection.selectionStart());
        cursor.setPosition(selection.selectionEnd(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(bold);
    });
}

inline void alignCaretParagraph(WispenTextView *view, Qt::Alignment alignment)
{
    QTextBlockFormat aligned;
    aligned.setAlignment(alignment);
    const int position = view->textCursor().position();
    view->applyFormat([&](QTextCursor &cursor) {
        cursor.setPosition(position);
        cursor.mergeBlockFormat(aligned);
    });
}

inline void click(WispenTextView *view, QPoint point)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
}

} // namespace EditorDriver
