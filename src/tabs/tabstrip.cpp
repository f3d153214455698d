#include "tabstrip.h"

#include "tabcell.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
constexpr int cellSpacing = 4;
constexpr int horizontalPadding = 10;
constexpr int verticalPadding = 6;
} // namespace

TabStrip::TabStrip(QWidget *parent)
    : QScrollArea(parent)
    , m_row(new QWidget)
    , m_layout(new QHBoxLayout(m_row))
{
    m_layout->setContentsMargins(
        horizontalPadding, verticalPadding, horizontalPadding, verticalPadding);
    m_layout->setSpacing(cellSpacing);
    m_layout->addStretch(1);
    m_row->setAutoFillBackground(false);
    setWidget(m_row);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
}

TabCell *TabStrip::cell(const QUuid &id)
{
    if (TabCell *existing = m_cells.value(id))
        return existing;
    auto *created = new TabCell(id, m_row);
    connect(created, &TabCell::closeClicked, this, [this, id] { Q_EMIT closeRequested(id); });
    m_cells.insert(id, created);
    m_layout->insertWidget(m_layout->count() - 1, created, 0, Qt::AlignVCenter);
    created->show();
    return created;
}

void TabStrip::arrange(const QList<QUuid> &order)
{
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        if (order.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        it = m_cells.erase(it);
    }
    for (qsizetype i = 0; i < order.size(); ++i) {
        TabCell *wanted = m_cells.value(order.at(i));
        if (!wanted || m_layout->indexOf(wanted) == i)
            continue;
        m_layout->removeWidget(wanted);
        m_layout->insertWidget(int(i), wanted, 0, Qt::AlignVCenter);
    }
}

QSize TabStrip::sizeHint() const
{
    return { m_row->sizeHint().width(), m_row->sizeHint().height() };
}

QSize TabStrip::minimumSizeHint() const
{
    return { 0, m_row->sizeHint().height() };
}

void TabStrip::wheelEvent(QWheelEvent *event)
{
    // A mouse wheel only turns vertically; here it moves the row sideways.
    const QPoint delta = event->angleDelta();
    const int step = delta.x() != 0 ? delta.x() : delta.y();
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - step);
    event->accept();
}
