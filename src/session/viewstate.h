#pragma once

// Where a person left a note on screen: the selection (or the caret, when anchor equals
// position) as document positions, and how far the view was scrolled.
struct ViewState
{
    int anchor = 0;
    int position = 0;
    int scrollY = 0;

    friend bool operator==(const ViewState &, const ViewState &) = default;
};
