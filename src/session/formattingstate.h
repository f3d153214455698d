#pragma once

#include <Qt>
#include <optional>

// The formatting at the caret, or at the first selected character, as the panel shows it.
struct FormattingState
{
    struct Font
    {
        bool isBold = false;
        bool isItalic = false;
        double pointSize = 0;
    };

    // Absent when the format names no font at all; the shown font state then stays as it is.
    std::optional<Font> font;
    bool isUnderline = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool isOnChecklistLine = false;
};
