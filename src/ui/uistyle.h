#pragma once

#include <QColor>
#include <QFont>

class QPalette;

// The visual rules the window's own widgets share: foreground levels over the palette's text
// colour, the accent colour, and the interface font at sizes given in device-independent pixels.
namespace UiStyle {

// How far a foreground recedes from the full text colour.
enum class Level { Primary, Secondary, Tertiary, Quaternary };

constexpr qreal cornerRadius = 5;
constexpr qreal accentWashOpacity = 0.12;
constexpr qreal barBackgroundOpacity = 0.5;

QColor foreground(const QPalette &palette, Level level);
QColor accent(const QPalette &palette);
// The accent at the faint opacity behind a selected tab or an active tool button.
QColor accentWash(const QPalette &palette);
// The window colour at half opacity, behind the tab bar and the formatting panel.
QColor barBackground(const QPalette &palette);

QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
QFont monospacedFont(int pixelSize);

} // namespace UiStyle
