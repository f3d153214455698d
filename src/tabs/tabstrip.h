#pragma once

#include <QHash>
#include <QList>
#include <QScrollArea>
#include <QUuid>

class QHBoxLayout;
class TabCell;

// The row of tab cells, scrolling sideways without scroll bars. It keeps one cell per tab id for
// as long as that tab exists, so a cell's widgets, and a click pending on its title, live on
// across refreshes. It never scrolls by itself.
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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void closeRequested(const QUuid &id);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    QWidget *m_row = nullptr;
    QHBoxLayout *m_layout = nullptr;
    QHash<QUuid, TabCell *> m_cells;
};
