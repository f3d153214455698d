#include "zoomhost.h"

#include "zoomhostaccessible.h"
#include "zoomsteps.h"

#include <QAccessible>
#include <QEvent>
#include <QFocusEvent>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QResizeEvent>

ZoomHost::ZoomHost(QWidget *content, double scale, QWidget *parent)
    : QGraphicsView(parent)
    , m_scale(ZoomSteps::drawable(scale))
    , m_content(content)
{
    static const bool accessible = [] {
        QAccessible::installFactory(ZoomHostAccessible::factory);
        return true;
    }();
    Q_UNUSED(accessible);
    ZoomHostAccessible::markContent(content, this);
    auto *scene = new QGraphicsScene(this);
    setScene(scene);
    // Popups of the content (context menus, completers) become real windows at the pointer
    // instead of items drawn inside the scene and clipped by the window.
    content->setWindowFlag(Qt::BypassGraphicsProxyWidget);
    m_proxy = scene->addWidget(nullptr);
    // The content may be squeezed below its own minimum, as a window can be made small.
    m_proxy->setMinimumSize(0, 0);
    m_proxy->setPos(0, 0);

    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    // Repaint only what changed: a whole-window repaint per keystroke or caret blink keeps
    // the event loop needlessly busy.
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    setBackgroundRole(QPalette::Window);
    setFocusPolicy(Qt::StrongFocus);
    relayout();
}

void ZoomHost::setScale(double scale)
{
    m_scale = ZoomSteps::drawable(scale);
    relayout();
}

bool ZoomHost::isDrawnThroughScene() const
{
    return m_proxy->widget() == m_content;
}

QSizeF ZoomHost::layoutSize() const
{
    const QSize drawn = viewport()->size();
    return { drawn.width() / m_scale, drawn.height() / m_scale };
}

QSize ZoomHost::sizeHint() const
{
    const QSize content = m_content->sizeHint();
    return { qRound(content.width() * m_scale), qRound(content.height() * m_scale) };
}

void ZoomHost::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    relayout();
}

void ZoomHost::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    // Keyboard focus given to the view belongs to the widget focused inside the content.
    if (!isDrawnThroughScene()) {
        QWidget *focused = m_content->focusWidget();
        (focused ? focused : m_content)->setFocus(event->reason());
    } else if (!scene()->focusItem()) {
        m_proxy->setFocus(event->reason());
    }
}

bool ZoomHost::event(QEvent *event)
{
    // The scene's background follows the appearance like any widget's.
    if (event->type() == QEvent::PaletteChange)
        setBackgroundBrush(palette().color(QPalette::Window));
    return QGraphicsView::event(event);
}

void ZoomHost::placeContent(bool throughScene)
{
    if (throughScene == isDrawnThroughScene() && m_content->parent())
        return;
    QWidget *focused = m_content->focusWidget();
    const bool hadFocus = focused && focused->hasFocus();
    if (throughScene) {
        m_content->setParent(nullptr);
        m_proxy->setWidget(m_content);
    } else {
        m_proxy->setWidget(nullptr);
        m_content->setParent(this);
        m_content->show();
        m_content->raise();
    }
    if (!hadFocus)
        return;
    // Keys reach the scene through the view: it takes the window's focus, and the scene's
    // focus goes back to the widget that had it.
    if (throughScene)
        setFocus(Qt::OtherFocusReason);
    focused->setFocus(Qt::OtherFocusReason);
}

void ZoomHost::relayout()
{
    placeContent(m_scale != 1.0);
    if (!isDrawnThroughScene())
        m_content->setGeometry(rect());
    const QSizeF size = layoutSize();
    m_proxy->setGeometry(QRectF(QPointF(0, 0), size));
    scene()->setSceneRect(QRectF(QPointF(0, 0), size));
    setSceneRect(QRectF(QPointF(0, 0), size));
    setTransform(QTransform::fromScale(m_scale, m_scale));
    setBackgroundBrush(palette().color(QPalette::Window));
}
