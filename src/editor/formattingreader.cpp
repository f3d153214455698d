#include "formattingreader.h"

#include "checklist.h"
#include "fontformat.h"
#include "wispentextview.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Whether the line holding the caret begins with a glyph. A caret after a final line break
// tests the line that break ends.
bool caretLineIsChecklist(const QTextDocument *document, int location)
{
    const int length = document->characterCount() - 1;
    if (length < 1 || location > length)
        return false;
    const QString line = Checklist::lineAt(document, std::min(location, length - 1)).text;
    return !line.isEmpty() && Checklist::isGlyph(line.at(0));
}

} // namespace

namespace FormattingReader {

FormattingState read(const WispenTextView &view)
{
    const QTextCursor cursor = view.textCursor();
    const int location = cursor.selectionStart();
    const QTextDocument *document = view.document();
    const bool readsCharacter = cursor.hasSelection() && location < document->characterCount() - 1;
    const QTextCharFormat format
        = readsCharacter ? view.characterFormatAt(location) : view.currentCharFormat();

    FormattingState state;
    if (FontFormat::namesAFont(format)) {
        const QFont font = FontFormat::resolved(format, document);
        state.font = FormattingState::Font { font.weight() > QFont::Medium, font.italic(),
            font.pointSizeF() };
    }
    state.isUnderline = FontFormat::isUnderlined(format);
    state.alignment
        = document->findBlock(location).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    state.isOnChecklistLine = caretLineIsChecklist(document, location);
    return state;
}

} // namespace FormattingReader
