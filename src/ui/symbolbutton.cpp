#include "symbolbutton.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// Symbols fill a little more than their font size, as glyphs of a symbol font do.
constexpr qreal glyphBoxPerPixel = 1.2;
constexpr qreal pressedOpacity = 0.55;
} // namespace

SymbolButton::SymbolButton(const QString &symbol, const Look &look, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_look(look)
{
    setFixedSize(m_look.frame, m_look.frame);
    // Reachable with Tab, never taking the focus from the note on a click.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
}

void SymbolButton::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

void SymbolButton::setActive(bool active)
{
    // A button that switches something on or off tells assistive technology whether it is.
    if (isCheckable())
        setChecked(active);
    if (active == m_isActive)
        return;
    m_isActive = active;
    update();
}

QSize SymbolButton::sizeHint() const
{
    return { m_look.frame, m_look.frame };
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(pressedOpacity);
    const QRectF frame = rect();
    if (m_isActive) {
        QPainterPath shape;
        shape.addRoundedRect(frame, UiStyle::cornerRadius, UiStyle::cornerRadius);
        painter.fillPath(shape, UiStyle::accentWash(palette()));
    }
    const qreal side = m_look.glyphSize * glyphBoxPerPixel;
    QRectF box(0, 0, side, side);
    box.moveCenter(frame.center());
    const QColor color
        = m_isActive ? UiStyle::accent(palette()) : UiStyle::foreground(palette(), m_look.level);
    Symbols::paint(painter, box, m_symbol, color, m_isActive ? m_look.activeWeight : m_look.weight);
    if (hasFocus()) {
        painter.setOpacity(1.0);
        painter.setPen(QPen(UiStyle::accent(palette()), 1.5));
        painter.drawRoundedRect(
            frame.adjusted(1, 1, -1, -1), UiStyle::cornerRadius, UiStyle::cornerRadius);
    }
}
