#pragma once

#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "session/notesession.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>
#include <memory>

// What a person does in the editor, in steps small enough for tests.
namespace EditorDriver {

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

// A session with the window's editor bound to it, on screen.
struct ShownEditor
{
    ShownEditor() { show(editor.get()); }
    NoteSession session;
    std::unique_ptr<RichTextEditor> editor = std::make_unique<RichTextEditor>(session);
    WispenTextView *view = editor->textView();
};

// Text with the caret written as "|", or a selection as "[" at its anchor and "]" at its
// moving end, as setMarked() reads it and marked() writes it; line breaks as the document
// holds them.
inline void setMarked(WispenTextView *view, QString text)
{
    qsizetype anchor = text.indexOf(u'['), position = text.indexOf(u']');
    if (anchor < 0)
        anchor = position = std::max<qsizetype>(text.indexOf(u'|'), 0);
    else
        --(anchor < position ? position : anchor);
    text.remove(u'[').remove(u']').remove(u'|');
    setText(view, text);
    select(view, int(anchor), int(position));
}

inline QString marked(const WispenTextView *view)
{
    QString text = view->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    const QTextCursor cursor = view->textCursor();
    const int anchor = cursor.anchor(), position = cursor.position();
    if (anchor == position)
        return text.insert(position, u'|');
    text.insert(std::max(anchor, position), anchor < position ? u']' : u'[');
    return text.insert(std::min(anchor, position), anchor < position ? u'[' : u']');
}

// A character format in one word: "-" for plain 11 point text, else "b", "i" and "u" for
// bold, italic and underline, followed by the size when it is not 11: "iu12.5".
inline QString formatWord(bool bold, bool italic, bool underline, double size)
{
    QString word = QString::fromLatin1(bold ? "b" : "") + QString::fromLatin1(italic ? "i" : "")
        + QString::fromLatin1(underline ? "u" : "");
    if (size != TextDefaults::fontPointSize)
        word += QString::number(size);
    return word.isEmpty() ? QStringLiteral("-") : word;
}

// Gives the first characters the formats of the words, one word a character, in one step.
inline void formatCharacters(WispenTextView *view, const QString &words)
{
    const QStringList list = words.split(u' ');
    view->applyFormat([&](QTextCursor &cursor) {
        for (int i = 0; i < list.size(); ++i) {
            const QString &word = list.at(i);
            const qsizetype size = word.indexOf(QRegularExpression(QStringLiteral("\\d")));
            QTextCharFormat format;
            format.setFontWeight(word.contains(u'b') ? QFont::Bold : QFont::Normal);
            format.setFontItalic(word.contains(u'i'));
            format.setFontUnderline(word.contains(u'u'));
            format.setFontPointSize(
                size < 0 ? TextDefaults::fontPointSize : word.sliced(size).toDouble());
            cursor.setPosition(i);
            cursor.setPosition(i + 1, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
    });
}

// The format of every character, one word each.
inline QString characterFormats(const WispenTextView *view)
{
    QStringList words;
    for (int i = 0; i < view->document()->characterCount() - 1; ++i) {
        const QTextCharFormat format = view->characterFormatAt(i);
        const QFont font = format.font().resolve(view->document()->defaultFont());
        words << formatWord(font.bold(), font.italic(), format.fontUnderline(), font.pointSizeF());
    }
    return words.join(u' ');
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
