#pragma once

#include <QGraphicsView>

class QGraphicsProxyWidget;

// Draws the window's whole content magnified by the interface zoom. The content is laid out as
// if the window were W / s by H / s and drawn s times larger from the top-left corner, so it
// always covers the window exactly; clicks land on what is drawn under the pointer. At actual
// size the content is an ordinary child widget instead: drawing through the scene costs time
// on every repaint and gains nothing there.
class ZoomHost : public QGraphicsView
{
    Q_OBJECT

public:
    // Takes ownership of content, which must not have a parent.
    ZoomHost(QWidget *content, double scale, QWidget *parent = nullptr);

    // The scale as given; a value that is not a positive finite number draws at 1.0.
    void setScale(double scale);
    double scale() const { return m_scale; }
    // The size the content is laid out in.
    QSizeF layoutSize() const;
    QWidget *content() const { return m_content; }
    QGraphicsProxyWidget *proxy() const { return m_proxy; }
    // True while the content is drawn through the scene, that is at any scale but 1.0.
    bool isDrawnThroughScene() const;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;

private:
    void relayout();
    void placeContent(bool throughScene);

    double m_scale = 1.0;
    QWidget *m_content = nullptr;
    QGraphicsProxyWidget *m_proxy = nullptr;
};
