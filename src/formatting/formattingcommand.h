#pragma once

class NoteSession;
class WispenTextView;

// The formatting commands of the panel's buttons and of the Format menu, run the same way
// from both: the operation on the editor's text view, a refresh of the formatting state, and
// keyboard focus back to the editor.
enum class FormattingCommand {
    Bold,
    Italic,
    Underline,
    Bigger,
    Smaller,
    AlignLeft,
    AlignCenter,
    AlignRight,
    Checklist,
};

namespace FormattingCommands {

// Does nothing at all without a text view.
void run(FormattingCommand command, WispenTextView *textView, NoteSession &session);

} // namespace FormattingCommands
