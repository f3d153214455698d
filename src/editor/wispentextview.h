#pragma once

#include "editor/lineending.h"
#include "session/textattributes.h"

#include <QTextEdit>

// The editor's text view: a rich-text QTextEdit that hands out and takes in a note's plain
// text with the note's own line endings.
class WispenTextView : public QTextEdit
{
    Q_OBJECT

public:
    explicit WispenTextView(QWidget *parent = nullptr);

    // The whole plain text in the note's line-ending style. Unlike toPlainText() it keeps
    // no-break spaces and U+2028 as they are. This is the one place that reads the whole text.
    QString plainText() const;

    // Replace all content by text in one run of the given attributes; the text's line-ending
    // style is remembered for plainText().
    void replaceContent(const QString &text, const TextAttributes &attributes);

    // The format and alignment the next typed characters get.
    TextAttributes typingAttributes() const;
    void setTypingAttributes(const TextAttributes &attributes);

    LineEnding lineEnding() const { return m_lineEnding; }

public Q_SLOTS:
    // Paste is always plain text; this is the menu's explicit form of it.
    void pasteAsPlainText();

private:
    LineEnding m_lineEnding = LineEnding::LF;
};
