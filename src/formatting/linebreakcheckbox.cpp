#include "linebreakcheckbox.h"

#include "ui/uistyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int boxSide = 14;
constexpr qreal boxRadius = 3.5;
const QString helpText = QStringLiteral("Include line breaks when copying");
} // namespace

LineBreakCheckBox::LineBreakCheckBox(QWidget *parent)
    : QCheckBox(parent)
{
    setToolTip(helpText);
    setAccessibleName(helpText);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(boxSide, boxSide);
}

QSize LineBreakCheckBox::sizeHint() const
{
    return { boxSide, boxSide };
}

QSize LineBreakCheckBox::minimumSizeHint() const
{
    return sizeHint();
}

void LineBreakCheckBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(0.7);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, boxRadius, boxRadius);
    if (!isChecked()) {
        painter.fillPath(shape, palette().color(QPalette::Base));
        painter.setPen(QPen(UiStyle::foreground(palette(), UiStyle::Level::Tertiary), 1));
        painter.drawPath(shape);
        return;
    }
    painter.fillPath(shape, UiStyle::accent(palette()));
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.24, box.top() + box.height() * 0.52);
    tick.lineTo(box.left() + box.width() * 0.43, box.top() + box.height() * 0.71);
    tick.lineTo(box.left() + box.width() * 0.77, box.top() + box.height() * 0.30);
    painter.setPen(QPen(palette().color(QPalette::HighlightedText), 1.7, Qt::SolidLine,
        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
}

bool LineBreakCheckBox::hitButton(const QPoint &position) const
{
    return rect().contains(position);
}
