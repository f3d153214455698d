#pragma once

#include <QTextBlockFormat>
#include <QTextCharFormat>

// What Qt splits in two, the character format and the paragraph's alignment, held together
// as the one set of attributes that restored text and fresh typing start with.
struct TextAttributes
{
    QTextCharFormat character;
    QTextBlockFormat paragraph;
};

namespace TextDefaults {

constexpr double fontPointSize = 11.0;

// The system font family at the default size, regular weight.
QFont font();

} // namespace TextDefaults
