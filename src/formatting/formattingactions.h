#pragma once

#include <Qt>

class WispenTextView;

// Formatting operations on the editor's text view. Each works on the selection when there is
// one, else on the typing attributes, and is one undo step. Alignment always works on whole
// paragraphs.
namespace FormattingActions {

enum class Trait { Bold, Italic };

inline constexpr double minimumFontSize = 8.0;
inline constexpr double maximumFontSize = 96.0;

void toggleTrait(Trait trait, WispenTextView *textView);
void toggleUnderline(WispenTextView *textView);
void adjustFontSize(double delta, WispenTextView *textView);
void setAlignment(Qt::Alignment alignment, WispenTextView *textView);
void insertChecklistItem(WispenTextView *textView);

} // namespace FormattingActions
