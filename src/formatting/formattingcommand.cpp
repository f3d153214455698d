#include "formattingcommand.h"

#include "editor/wispentextview.h"
#include "formattingactions.h"
#include "session/notesession.h"

namespace {

void apply(FormattingCommand command, WispenTextView *textView)
{
    switch (command) {
    case FormattingCommand::Bold:
        FormattingActions::toggleTrait(FormattingActions::Trait::Bold, textView);
        break;
    case FormattingCommand::Italic:
        FormattingActions::toggleTrait(FormattingActions::Trait::Italic, textView);
        break;
    case FormattingCommand::Underline:
        FormattingActions::toggleUnderline(textView);
        break;
    case FormattingCommand::Bigger:
        FormattingActions::adjustFontSize(1, textView);
        break;
    case FormattingCommand::Smaller:
        FormattingActions::adjustFontSize(-1, textView);
        break;
    case FormattingCommand::AlignLeft:
        FormattingActions::setAlignment(Qt::AlignLeft, textView);
        break;
    case FormattingCommand::AlignCenter:
        FormattingActions::setAlignment(Qt::AlignHCenter, textView);
        break;
    case FormattingCommand::AlignRight:
        FormattingActions::setAlignment(Qt::AlignRight, textView);
        break;
    case FormattingCommand::Checklist:
        FormattingActions::insertChecklistItem(textView);
        break;
    }
}

} // namespace

namespace FormattingCommands {

void run(FormattingCommand command, WispenTextView *textView, NoteSession &session)
{
    if (!textView)
        return;
    apply(command, textView);
    session.updateFormattingState();
    session.refocus();
}

} // namespace FormattingCommands
