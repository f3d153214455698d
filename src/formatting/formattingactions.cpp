#include "formattingactions.h"

#include "editor/wispentextview.h"

namespace FormattingActions {

void toggleTrait(Trait, WispenTextView *) { }
void toggleUnderline(WispenTextView *) { }
void adjustFontSize(double, WispenTextView *) { }
void setAlignment(Qt::Alignment, WispenTextView *) { }
void insertChecklistItem(WispenTextView *) { }

} // namespace FormattingActions
