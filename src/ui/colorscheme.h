#pragma once

#include <QColor>
#include <QPalette>

// The colours of one appearance, dark or light, and the Qt palette made from them.
struct ColorScheme
{
    QColor window;
    QColor base;
    QColor alternateBase;
    QColor text;
    QColor button;
    QColor accent;
    QColor accentText;
    QColor toolTipBase;
    QColor link;
    QColor light;
    QColor mid;
    QColor dark;
    QColor shadow;

    static ColorScheme darkScheme();
    static ColorScheme lightScheme();

    QPalette palette() const;
};
