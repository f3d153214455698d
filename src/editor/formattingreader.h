#pragma once

#include "session/formattingstate.h"

class WispenTextView;

// Reads the formatting that the panel shows from the editor's text view.
namespace FormattingReader {

// Reads the view's selection start, its typing format, and the caret's line only.
FormattingState read(const WispenTextView &view);

} // namespace FormattingReader
