#include "colorscheme.h"

namespace {
constexpr qreal placeholderOpacity = 0.38;
constexpr qreal disabledOpacity = 0.4;

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}
} // namespace

ColorScheme ColorScheme::darkScheme()
{
    ColorScheme scheme;
    scheme.window = QColor(0x2a, 0x2a, 0x2d);
    scheme.base = QColor(0x1e, 0x1e, 0x20);
    scheme.alternateBase = QColor(0x26, 0x26, 0x29);
    scheme.text = QColor(0xe8, 0xe8, 0xea);
    scheme.button = QColor(0x36, 0x36, 0x3a);
    scheme.accent = QColor(0x3d, 0x8b, 0xfd);
    scheme.accentText = QColor(0xff, 0xff, 0xff);
    scheme.toolTipBase = QColor(0x3a, 0x3a, 0x3e);
    scheme.link = QColor(0x6c, 0xa8, 0xff);
    scheme.light = QColor(0x4a, 0x4a, 0x4f);
    scheme.mid = QColor(0x22, 0x22, 0x25);
    scheme.dark = QColor(0x18, 0x18, 0x1a);
    scheme.shadow = QColor(0x0c, 0x0c, 0x0d);
    return scheme;
}

ColorScheme ColorScheme::lightScheme()
{
    ColorScheme scheme;
    scheme.window = QColor(0xee, 0xee, 0xf0);
    scheme.base = QColor(0xff, 0xff, 0xff);
    scheme.alternateBase = QColor(0xf6, 0xf6, 0xf7);
    scheme.text = QColor(0x1d, 0x1d, 0x1f);
    scheme.button = QColor(0xf7, 0xf7, 0xf8);
    scheme.accent = QColor(0x0a, 0x6c, 0xf0);
    scheme.accentText = QColor(0xff, 0xff, 0xff);
    scheme.toolTipBase = QColor(0xfb, 0xfb, 0xfb);
    scheme.link = QColor(0x0a, 0x5c, 0xd0);
    scheme.light = QColor(0xff, 0xff, 0xff);
    scheme.mid = QColor(0xc8, 0xc8, 0xcc);
    scheme.dark = QColor(0xa8, 0xa8, 0xad);
    scheme.shadow = QColor(0x70, 0x70, 0x75);
    return scheme;
}

QPalette ColorScheme::palette() const
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, alternateBase);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, accentText);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, accentText);
    palette.setColor(QPalette::ToolTipBase, toolTipBase);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Link, link);
    palette.setColor(QPalette::LinkVisited, link);
    palette.setColor(QPalette::Light, light);
    palette.setColor(QPalette::Midlight, button);
    palette.setColor(QPalette::Mid, mid);
    palette.setColor(QPalette::Dark, dark);
    palette.setColor(QPalette::Shadow, shadow);
    palette.setColor(QPalette::PlaceholderText, withAlpha(text, placeholderOpacity));
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, role, withAlpha(text, disabledOpacity));
    return palette;
}
