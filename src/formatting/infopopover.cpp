#include "infopopover.h"

#include "ui/textlabel.h"
#include "ui/uistyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int padding = 14;
constexpr int lineSpacing = 4;
constexpr int rightsExtraPadding = 2;
constexpr int arrowLength = 7;
constexpr int arrowHalfWidth = 7;
constexpr qreal popoverRadius = 8;

TextLabel *line(
    const QString &text, int pixelSize, QFont::Weight weight, UiStyle::Level level, QWidget *parent)
{
    auto *label = new TextLabel(text, parent);
    label->setFont(UiStyle::systemFont(pixelSize, weight));
    label->setLevel(level);
    return label;
}
} // namespace

InfoPopover::InfoPopover(QWidget *anchor)
    // Bypassing the zoom's scene makes this a real popup window instead of an item drawn
    // inside the window's content.
    : QWidget(anchor,
        Qt::Popup | Qt::FramelessWindowHint | Qt::BypassGraphicsProxyWidget
            | Qt::NoDropShadowWindowHint)
    , m_anchor(anchor)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding + arrowLength, padding);
    layout->setSpacing(lineSpacing);
    using UiStyle::Level;
    layout->addWidget(line(QStringLiteral("Wispen."), 13, QFont::DemiBold, Level::Primary, this));
    layout->addWidget(
        line(QStringLiteral("The Wispen contributors"), 11, QFont::Normal, Level::Secondary, this));
    layout->addWidget(line(QStringLiteral("Wispen"), 11, QFont::Normal, Level::Secondary, this));
    layout->addSpacing(rightsExtraPadding);
    layout->addWidget(line(QStringLiteral("Copyright \u00a9 the Wispen contributors. "
                                          "All rights reserved."),
        10, QFont::Normal, Level::Tertiary, this));
}

void InfoPopover::popUp()
{
    adjustSize();
    const QRect anchor = anchorOnScreen();
    QPoint topLeft(anchor.left() - width(), anchor.center().y() - height() / 2);
    if (const QScreen *screen = m_anchor ? m_anchor->screen() : nullptr) {
        const QRect available = screen->availableGeometry();
        topLeft.setY(std::clamp(topLeft.y(), available.top(),
            std::max(available.top(), available.bottom() - height())));
        topLeft.setX(std::max(topLeft.x(), available.left()));
    }
    move(topLeft);
    show();
}

QRect InfoPopover::anchorOnScreen() const
{
    if (!m_anchor)
        return {};
    // Mapped corner by corner, so the rectangle follows the zoom's drawing transform.
    const QPoint topLeft = m_anchor->mapToGlobal(QPoint(0, 0));
    const QPoint bottomRight = m_anchor->mapToGlobal(QPoint(m_anchor->width(), m_anchor->height()));
    return QRect(topLeft, bottomRight);
}

void InfoPopover::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -arrowLength - 0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(body, popoverRadius, popoverRadius);
    const qreal middle = body.center().y();
    QPainterPath arrow;
    arrow.moveTo(body.right() - 1, middle - arrowHalfWidth);
    arrow.lineTo(body.right() + arrowLength, middle);
    arrow.lineTo(body.right() - 1, middle + arrowHalfWidth);
    arrow.closeSubpath();
    shape = shape.united(arrow);
    painter.fillPath(shape, palette().color(QPalette::Window));
    QColor border = UiStyle::foreground(palette(), UiStyle::Level::Quaternary);
    border.setAlphaF(0.35f);
    painter.setPen(QPen(border, 1));
    painter.drawPath(shape);
}

void InfoPopover::mousePressEvent(QMouseEvent *event)
{
    // A press on the anchor while open only closes: it must not reach the anchor and reopen.
    if (!rect().contains(event->position().toPoint())
        && anchorOnScreen().contains(event->globalPosition().toPoint()))
        setAttribute(Qt::WA_NoMouseReplay);
    QWidget::mousePressEvent(event);
}

void InfoPopover::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    setAttribute(Qt::WA_NoMouseReplay, false);
    Q_EMIT dismissed();
}
