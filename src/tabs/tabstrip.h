#pragma once

#include <QHash>
#include <QList>
#include <QScrollArea>
#include <QUuid>

class QHBoxLayout;
class TabCell;

// The row of tab cells, scrolling sideways without scroll bars. It keeps one cell per tab id for
// as long as that tab exists, so a cell's widgets, and a click pending on its title, live on
// across refreshes. It scrolls to reveal a cell when asked, and with the wheel; a cell dragged
// along the row asks to move there.
class TabStrip : public QScrollArea
{
    Q_OBJECT

public:
    explicit TabStrip(QWidget *parent = nullptr);

    // The cell of the tab with this id; made if there is none yet.
    TabCell *cell(const QUuid &id);
    TabCell *existingCell(const QUuid &id) const { return m_cells.value(id); }
    // Puts the cells in this order and destroys those of tabs no longer listed.
    void arrange(const QList<QUuid> &order);
    // The cells in the order they show.
    QList<TabCell *> orderedCells() const;
    // Scrolls the row so that the whole cell shows.
    void reveal(TabCell *cell);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void closeRequested(const QUuid &id);
    // A cell was dragged over the place of the cell at index.
    void moveRequested(const QUuid &id, int index);

protected:
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_row = nullptr;
    QHBoxLayout *m_layout = nullptr;
    int indexAt(int rowX) const;

    QHash<QUuid, TabCell *> m_cells;
    // The cell under a pressed mouse button, and where the press was, in row coordinates.
    TabCell *m_pressed = nullptr;
    QPoint m_pressPosition;
    bool m_isDragging = false;
};
