#include "checklist.h"

#include "autosave/whitespace.h"
#include "wispentextview.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace Checklist {

namespace {

const QString uncheckedPrefix = QStringLiteral("\u2610 ");
const QString checkedPrefix = QStringLiteral("\u2611 ");

// Characters that end a line inside a block; the block's end ends the last one.
bool endsLine(QChar c)
{
    return c == QChar::LineSeparator || c == u'\n' || c == u'\r' || c == u'\u0085';
}

int documentLength(const QTextDocument *document)
{
    return document->characterCount() - 1;
}

// Replaces the selection by text in the typing format and puts the caret after it.
void replaceSelection(WispenTextView *view, const QString &text)
{
    // Plain positions, since a copy of the view's cursor would move with the edit.
    const int start = view->textCursor().selectionStart();
    const int end = view->textCursor().selectionEnd();
    const QTextCharFormat format = view->currentCharFormat();
    const bool done = view->editAsProgram([&](QTextCursor &cursor) {
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(text, format);
    });
    if (done)
        view->placeCaret(start + int(text.size()));
}

} // namespace

bool isGlyph(QChar c)
{
    return c == uncheckedGlyph || c == checkedGlyph;
}

Line lineAt(const QTextDocument *document, int position)
{
    const QTextBlock block = document->findBlock(position);
    const QString blockText = block.text();
    const int offset = std::clamp(position - block.position(), 0, int(blockText.size()));
    int begin = offset;
    while (begin > 0 && !endsLine(blockText.at(begin - 1)))
        --begin;
    int end = offset;
    while (end < blockText.size() && !endsLine(blockText.at(end)))
        ++end;
    const bool hasTerminator = end < blockText.size() || block.next().isValid();
    return Line { block.position() + begin, end - begin + (hasTerminator ? 1 : 0),
        blockText.sliced(begin, end - begin) };
}

LineKind classify(const QString &lineText)
{
    const QString content = Whitespace::trimmedOfNewlines(lineText);
    const bool bareGlyph = content.size() == 1 && isGlyph(content.at(0));
    if (bareGlyph || content == uncheckedPrefix || content == checkedPrefix)
        return LineKind::EmptyItem;
    if (content.startsWith(uncheckedPrefix) || content.startsWith(checkedPrefix))
        return LineKind::Item;
    return LineKind::Plain;
}

void insertItem(WispenTextView *view)
{
    const int start = view->textCursor().selectionStart();
    // A block start is where a line break was typed, so no further break is needed there.
    const bool atLineStart = start == 0 || view->document()->findBlock(start).position() == start;
    replaceSelection(view, (atLineStart ? QString() : QStringLiteral("\n")) + uncheckedPrefix);
}

bool handleNewline(WispenTextView *view)
{
    const QTextDocument *document = view->document();
    if (documentLength(document) == 0)
        return false;
    const Line line = lineAt(document, view->textCursor().selectionStart());
    switch (classify(line.text)) {
    case LineKind::Plain:
        return false;
    case LineKind::EmptyItem:
        // The text system leaves the caret where the removed line began.
        view->editAsProgram([&](QTextCursor &cursor) {
            cursor.setPosition(line.start);
            cursor.setPosition(line.start + line.length, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        });
        return true;
    case LineKind::Item:
        replaceSelection(view, QStringLiteral("\n") + uncheckedPrefix);
        return true;
    }
    return false;
}

std::optional<int> glyphIndexAt(const WispenTextView *view, QPoint point)
{
    const QTextDocument *document = view->document();
    const int nearest = view->cursorForPosition(point).position();
    for (const int candidate : { nearest, nearest - 1 }) {
        if (candidate >= 0 && candidate < documentLength(document)
            && isGlyph(document->characterAt(candidate)))
            return candidate;
    }
    return std::nullopt;
}

void toggle(WispenTextView *view, int index)
{
    const QChar old = view->document()->characterAt(index);
    const QChar glyph = old == uncheckedGlyph ? checkedGlyph : uncheckedGlyph;
    const QTextCharFormat format = view->characterFormatAt(index);
    // The new glyph goes in after the old one before the old one goes, so that a caret or a
    // selection edge on either side of the glyph stays where it was.
    view->editAsProgram([&](QTextCursor &cursor) {
        cursor.setPosition(index + 1);
        cursor.insertText(QString(glyph), format);
        cursor.setPosition(index);
        cursor.setPosition(index + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    });
}

} // namespace Checklist
