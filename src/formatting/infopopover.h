#pragma once

#include <QPointer>
#include <QWidget>

// The small popover with the application's name and credits. It opens beside its anchor, with
// its arrow on the anchor's leading edge, and closes on a click anywhere else.
class InfoPopover : public QWidget
{
    Q_OBJECT

public:
    explicit InfoPopover(QWidget *anchor);

    // Shows the popover pointing at the anchor where it is drawn on screen now.
    void popUp();

Q_SIGNALS:
    void dismissed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QRect anchorOnScreen() const;

    QPointer<QWidget> m_anchor;
};
