#pragma once

#include <Qt>

class WispenTextView;

// Formatting operations on the editor's text view. Each works on the selection when there is
// one, else on the typing attributes.
namespace FormattingActions {

enum class Trait { Bold, Italic };

void toggleTrait(Trait trait, WispenTextView *textView);
void toggleUnderline(WispenTextView *textView);
void adjustFontSize(double delta, WispenTextView *textView);
void setAlignment(Qt::Alignment alignment, WispenTextView *textView);
void insertChecklistItem(WispenTextView *textView);

} // namespace FormattingActions
