#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class QTextDocument;
class WispenTextView;

// Checklist items are plain text: a line that starts with a check box glyph and a space.
// These rules insert, continue, end and tick them. Every line test reads only the caret's
// block, never the whole document.
namespace Checklist {

inline constexpr QChar uncheckedGlyph = u'\u2610';
inline constexpr QChar checkedGlyph = u'\u2611';

bool isGlyph(QChar c);

// One line of the document: where it starts, its length with its terminator (a line
// separator or the block's end), and its text without the terminator.
struct Line
{
    int start = 0;
    int length = 0;
    QString text;
};

// The line that holds position; a terminator belongs to the line it ends.
Line lineAt(const QTextDocument *document, int position);

enum class LineKind { Plain, Item, EmptyItem };

// What Return does on a line with this text.
LineKind classify(const QString &lineText);

// Puts "☐ " at the selection, on a line of its own.
void insertItem(WispenTextView *view);

// Return on a checklist line: continues it with a new item, or removes an empty item to end
// the list. True when Return was dealt with here (even if a read-only view refused the edit).
bool handleNewline(WispenTextView *view);

// The glyph hit by a point in viewport coordinates: the character at or just before the
// nearest insertion point.
std::optional<int> glyphIndexAt(const WispenTextView *view, QPoint point);

// Ticks or unticks the glyph at index, keeping its format and the view's selection.
void toggle(WispenTextView *view, int index);

} // namespace Checklist
