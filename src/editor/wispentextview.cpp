#include "wispentextview.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

WispenTextView::WispenTextView(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(true);
    setUndoRedoEnabled(true);
}

QString WispenTextView::plainText() const
{
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return LineEndings::fromDocument(text, m_lineEnding);
}

void WispenTextView::replaceContent(const QString &text, const TextAttributes &attributes)
{
    m_lineEnding = LineEndings::detect(text);
    // A swap of content is no edit by the user: it must not be reported as a text change.
    const QSignalBlocker blocker(this);
    QTextDocument *doc = document();
    // Swapping the whole content is no edit of the user's: it leaves no undo step behind.
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor cursor(doc);
    cursor.setBlockFormat(attributes.paragraph);
    cursor.setBlockCharFormat(attributes.character);
    cursor.insertText(LineEndings::toDocument(text), attributes.character);
    doc->setUndoRedoEnabled(true);
    setTextCursor(QTextCursor(doc));
}

TextAttributes WispenTextView::typingAttributes() const
{
    return TextAttributes{currentCharFormat(), textCursor().blockFormat()};
}

void WispenTextView::setTypingAttributes(const TextAttributes &attributes)
{
    setCurrentCharFormat(attributes.character);
    QTextCursor cursor = textCursor();
    QTextBlockFormat block = cursor.blockFormat();
    // Every block format change is an undo step in Qt, so an unchanged alignment is left be.
    if (block.alignment() == attributes.paragraph.alignment())
        return;
    block.setAlignment(attributes.paragraph.alignment());
    cursor.setBlockFormat(block);
}

void WispenTextView::pasteAsPlainText()
{
    paste();
}
