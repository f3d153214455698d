#include "uistyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>

namespace UiStyle {

QColor foreground(const QPalette &palette, Level level)
{
    QColor color = palette.color(QPalette::WindowText);
    switch (level) {
    case Level::Primary:
        break;
    case Level::Secondary:
        color.setAlphaF(0.62f);
        break;
    case Level::Tertiary:
        color.setAlphaF(0.42f);
        break;
    case Level::Quaternary:
        color.setAlphaF(0.30f);
        break;
    }
    return color;
}

QColor accent(const QPalette &palette)
{
    return palette.color(QPalette::Highlight);
}

QColor accentWash(const QPalette &palette)
{
    QColor color = accent(palette);
    color.setAlphaF(accentWashOpacity);
    return color;
}

QColor barBackground(const QPalette &palette)
{
    QColor color = palette.color(QPalette::Window);
    color.setAlphaF(barBackgroundOpacity);
    return color;
}

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont monospacedFont(int pixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace UiStyle
