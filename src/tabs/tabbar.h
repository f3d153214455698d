#pragma once

#include <QWidget>

// The bar across the top of the window that holds the tab strip and the add button, on the
// window colour at half opacity.
class TabBar : public QWidget
{
    Q_OBJECT

public:
    explicit TabBar(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
