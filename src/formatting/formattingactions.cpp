#include "formattingactions.h"

#include "editor/checklist.h"
#include "editor/fontformat.h"
#include "editor/wispentextview.h"
#include "session/textattributes.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

namespace FormattingActions {

namespace {

using FontChange = std::function<QFont(QFont)>;

// A stretch of the selection in one format.
struct Run
{
    int start = 0;
    int end = 0;
    QTextCharFormat format;
};

// Only paragraph breaks stand between from and to.
bool onlyBreaksBetween(const QTextDocument *document, int from, int to)
{
    for (int position = from; position < to; ++position) {
        if (document->characterAt(position) != QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

// The runs of one format in the selection. Lines of the same format make one run with the
// breaks between them, so that a change over a long uniform note is one change, not one a line.
QList<Run> runsOfSelection(const WispenTextView *view)
{
    const QTextDocument *document = view->document();
    const QTextCursor selection = view->textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    QList<Run> runs;
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (!runs.isEmpty() && runs.last().format == format
                && onlyBreaksBetween(document, runs.last().end, from))
                runs.last().end = to;
            else
                runs.append(Run { from, to, format });
        }
    }
    return runs;
}

// Each run gets its own font changed, so a partly bold selection flips run by run.
void changeSelectedFonts(WispenTextView *view, const FontChange &change)
{
    const QList<Run> runs = runsOfSelection(view);
    const QTextDocument *document = view->document();
    view->applyFormat([&](QTextCursor &cursor) {
        for (const Run &run : runs) {
            cursor.setPosition(run.start);
            cursor.setPosition(run.end, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(
                FontFormat::fontOnly(change(FontFormat::resolved(run.format, document))));
        }
    });
}

void changeTypingFont(WispenTextView *view, const FontChange &change)
{
    QTextCharFormat format = view->currentCharFormat();
    const QFont font = FontFormat::namesAFont(format)
        ? FontFormat::resolved(format, view->document())
        : TextDefaults::font();
    format.merge(FontFormat::fontOnly(change(font)));
    view->setCurrentCharFormat(format);
}

void changeFont(WispenTextView *view, const FontChange &change)
{
    if (view->textCursor().hasSelection())
        changeSelectedFonts(view, change);
    else
        changeTypingFont(view, change);
}

QFont toggled(QFont font, Trait trait)
{
    if (trait == Trait::Bold)
        font.setWeight(font.weight() > QFont::Medium ? QFont::Normal : QFont::Bold);
    else
        font.setItalic(!font.italic());
    return font;
}

} // namespace

void toggleTrait(Trait trait, WispenTextView *textView)
{
    changeFont(textView, [trait](const QFont &font) { return toggled(font, trait); });
}

void toggleUnderline(WispenTextView *textView)
{
    const QTextCursor selection = textView->textCursor();
    if (!selection.hasSelection()) {
        QTextCharFormat format = textView->currentCharFormat();
        format.setFontUnderline(!FontFormat::isUnderlined(format));
        textView->setCurrentCharFormat(format);
        return;
    }
    // The first selected character decides for the whole selection.
    const int start = selection.selectionStart();
    QTextCharFormat underline;
    underline.setFontUnderline(!FontFormat::isUnderlined(textView->characterFormatAt(start)));
    textView->applyFormat([&](QTextCursor &cursor) {
        cursor.setPosition(start);
        cursor.setPosition(selection.selectionEnd(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(underline);
    });
}

void adjustFontSize(double delta, WispenTextView *textView)
{
    changeFont(textView, [delta](QFont font) {
        font.setPointSizeF(std::clamp(font.pointSizeF() + delta, minimumFontSize, maximumFontSize));
        return font;
    });
}

void setAlignment(Qt::Alignment alignment, WispenTextView *textView)
{
    const QTextCursor selection = textView->textCursor();
    const QTextDocument *document = textView->document();
    const QTextBlock first = document->findBlock(selection.selectionStart());
    // The paragraphs that hold a selected character, a paragraph's closing break included; a
    // selection that ends where a paragraph starts leaves that paragraph alone.
    const int lastCharacter = std::max(selection.selectionEnd() - 1, selection.selectionStart());
    const int last = document->findBlock(lastCharacter).blockNumber();
    QTextBlockFormat aligned;
    aligned.setAlignment(alignment);
    textView->applyFormat([&](QTextCursor &cursor) {
        for (QTextBlock block = first; block.isValid() && block.blockNumber() <= last;
             block = block.next()) {
            cursor.setPosition(block.position());
            cursor.mergeBlockFormat(aligned);
        }
    });
}

void insertChecklistItem(WispenTextView *textView)
{
    Checklist::insertItem(textView);
}

} // namespace FormattingActions
