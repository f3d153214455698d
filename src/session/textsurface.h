#pragma once

#include "formattingstate.h"
#include "textattributes.h"
#include "viewstate.h"

#include <QString>

// What the session needs of the view that shows the active tab's note: its text, a way to put a
// note in, the formatting at the caret and the keyboard focus. The editor's text view implements
// it, so the session drives the view without knowing any widget. An implementation is also a
// QObject, so that the session forgets it by itself when it is destroyed.
class TextSurface
{
public:
    virtual ~TextSurface() = default;

    // The whole plain text in the note's own line-ending style.
    virtual QString plainText() const = 0;
    // Replaces all content by text in one run of the given attributes.
    virtual void replaceContent(const QString &text, const TextAttributes &attributes) = 0;
    // The format and alignment the next typed characters get.
    virtual void setTypingAttributes(const TextAttributes &attributes) = 0;
    // The formatting at the caret, or at the first selected character.
    virtual FormattingState formattingState() const = 0;
    virtual void takeFocus() = 0;
    // The caret, selection and scroll position, to give back when the note shows again.
    virtual ViewState viewState() const = 0;
    // Positions beyond the text are clamped to its end.
    virtual void restoreViewState(const ViewState &state) = 0;
};
