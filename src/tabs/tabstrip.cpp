#include "tabstrip.h"

#include "tabaccessible.h"
#include "tabcell.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
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
    static const bool accessible = [] {
        QAccessible::installFactory(TabAccessible::factory);
        return true;
    }();
    Q_UNUSED(accessible);
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
    // Drags begin on the cell or any of its children; watch them all as they come.
    created->installEventFilter(this);
    for (QWidget *child : created->findChildren<QWidget *>())
        child->installEventFilter(this);
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
        if (m_pressed == it.value())
            m_pressed = nullptr;
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

QList<TabCell *> TabStrip::orderedCells() const
{
    QList<TabCell *> cells;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (auto *cell = qobject_cast<TabCell *>(m_layout->itemAt(i)->widget()))
            cells.append(cell);
    }
    return cells;
}

void TabStrip::reveal(TabCell *cell)
{
    if (cell)
        ensureWidgetVisible(cell, cellSpacing + horizontalPadding, 0);
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

int TabStrip::indexAt(int rowX) const
{
    int index = 0;
    for (int i = 0; i < m_layout->count(); ++i) {
        QWidget *widget = m_layout->itemAt(i)->widget();
        if (!widget)
            continue;
        if (rowX < widget->geometry().center().x())
            return index;
        ++index;
    }
    return std::max(index - 1, 0);
}

bool TabStrip::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::ChildAdded) {
        // A title or rename field shown later is watched too.
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            child->installEventFilter(this);
        return false;
    }
    if (!widget)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        m_pressed = nullptr;
        for (QWidget *w = widget; w && w != m_row; w = w->parentWidget()) {
            if (auto *cell = qobject_cast<TabCell *>(w))
                m_pressed = cell;
        }
        m_pressPosition = widget->mapTo(m_row, mouse->position().toPoint());
        m_isDragging = false;
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressed || !(mouse->buttons() & Qt::LeftButton))
            break;
        const QPoint at = widget->mapTo(m_row, mouse->position().toPoint());
        if (!m_isDragging
            && (at - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
            break;
        m_isDragging = true;
        const int target = indexAt(at.x());
        if (target != m_layout->indexOf(m_pressed))
            Q_EMIT moveRequested(m_pressed->id(), target);
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressed = nullptr;
        // A drag ends without the click that a release would otherwise make.
        if (std::exchange(m_isDragging, false))
            return true;
        break;
    default:
        break;
    }
    return false;
}
