#include "verticalscroller.h"

VerticalScroller::VerticalScroller(QWidget *column, QWidget *parent)
    : QScrollArea(parent)
{
    setWidget(column);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setFocusPolicy(Qt::NoFocus);
    // The column paints its own background; the area around it stays see-through.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
}

QSize VerticalScroller::sizeHint() const
{
    // A column of fixed width reports it as its minimum, not as its hint.
    const QWidget *column = widget();
    return { std::max(column->sizeHint().width(), column->minimumWidth()),
        column->sizeHint().height() };
}

QSize VerticalScroller::minimumSizeHint() const
{
    return { sizeHint().width(), 0 };
}
