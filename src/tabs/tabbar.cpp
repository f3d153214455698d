#include "tabbar.h"

#include "ui/uistyle.h"

#include <QPainter>

TabBar::TabBar(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TabBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), UiStyle::barBackground(palette()));
}
