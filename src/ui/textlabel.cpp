#include "textlabel.h"

#include <QEvent>
#include <QPainter>

TextLabel::TextLabel(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TextLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void TextLabel::setLevel(UiStyle::Level level)
{
    if (level == m_level)
        return;
    m_level = level;
    update();
}

QString TextLabel::displayedText() const
{
    return fontMetrics().elidedText(m_text, Qt::ElideRight, width());
}

QSize TextLabel::sizeHint() const
{
    // One pixel of slack keeps the last glyph's antialiased edge from being elided away.
    return { fontMetrics().horizontalAdvance(m_text) + 1, fontMetrics().height() };
}

QSize TextLabel::minimumSizeHint() const
{
    return { 0, fontMetrics().height() };
}

void TextLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(UiStyle::foreground(palette(), m_level));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, displayedText());
}

void TextLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
