#pragma once

#include <QScrollArea>

// Holds a narrow column that must stay whole when the window is too short for it: it scrolls
// up and down with the wheel, and to whichever control takes the keyboard focus. No scroll bar
// takes width from the column, which keeps its own width at every size.
class VerticalScroller : public QScrollArea
{
    Q_OBJECT

public:
    explicit VerticalScroller(QWidget *column, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
