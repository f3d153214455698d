#pragma once

#include <QCheckBox>

// The panel's check box for keeping line breaks when copying: only the box is drawn, by us, so
// it stays sharp at every zoom; its meaning is in its tooltip and accessible name.
class LineBreakCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit LineBreakCheckBox(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;
};
