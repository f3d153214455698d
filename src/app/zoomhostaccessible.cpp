#include "zoomhostaccessible.h"

#include "zoomhost.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>
#include <QWindow>

namespace {

const char hostProperty[] = "wispenZoomHost";

// The host: a pane whose one child is the content, wherever the content sits.
class HostInterface : public QAccessibleWidget
{
public:
    explicit HostInterface(ZoomHost *host)
        : QAccessibleWidget(host, QAccessible::Pane)
    {
    }

    ZoomHost *host() const { return static_cast<ZoomHost *>(widget()); }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(host()->content()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == host()->content() ? 0 : -1;
    }
};

// The content: an ordinary widget, except that its parent is the host even while it is drawn
// through the scene and has no parent widget.
class ContentInterface : public QAccessibleWidget
{
public:
    ContentInterface(QWidget *content, ZoomHost *host)
        : QAccessibleWidget(content, QAccessible::Client)
        , m_host(host)
    {
    }

    QAccessibleInterface *parent() const override
    {
        return m_host ? QAccessible::queryAccessibleInterface(m_host.data())
                      : QAccessibleWidget::parent();
    }

private:
    QPointer<ZoomHost> m_host;
};

// The application with its windows, less the content drawn through a zoom host's scene: Qt
// makes a window for that content, which would otherwise show as a second, empty-titled
// window beside the real one.
class ApplicationInterface : public QAccessibleObject
{
public:
    ApplicationInterface()
        : QAccessibleObject(qApp)
    {
    }

    QObjectList windows() const
    {
        QObjectList list;
        for (QWindow *window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Popup || window->type() == Qt::Desktop)
                continue;
            QAccessibleInterface *root = window->accessibleRoot();
            QObject *object = root ? root->object() : nullptr;
            if (object && !object->property(hostProperty).isValid())
                list.append(object);
        }
        return list;
    }

    QWindow *window() const override { return nullptr; }
    int childCount() const override { return int(windows().size()); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(windows().indexOf(child->object())) : -1;
    }
    QAccessibleInterface *parent() const override { return nullptr; }
    QAccessibleInterface *child(int index) const override
    {
        const QObjectList list = windows();
        return index >= 0 && index < list.size()
            ? QAccessible::queryAccessibleInterface(list.at(index))
            : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        if (QWindow *window = QGuiApplication::focusWindow())
            return window->accessibleRoot();
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return QGuiApplication::applicationName();
        if (kind == QAccessible::Description)
            return QGuiApplication::applicationFilePath();
        return {};
    }
    QAccessible::Role role() const override { return QAccessible::Application; }
    QAccessible::State state() const override { return {}; }
};

} // namespace

namespace ZoomHostAccessible {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (object == qApp && className == u"QApplication")
        return new ApplicationInterface;
    if (auto *host = qobject_cast<ZoomHost *>(object); host && className == u"ZoomHost")
        return new HostInterface(host);
    auto *content = qobject_cast<QWidget *>(object);
    if (!content)
        return nullptr;
    const QVariant host = content->property(hostProperty);
    if (!host.isValid())
        return nullptr;
    return new ContentInterface(content, qobject_cast<ZoomHost *>(host.value<QObject *>()));
}

void markContent(QWidget *content, ZoomHost *host)
{
    content->setProperty(hostProperty, QVariant::fromValue<QObject *>(host));
}

} // namespace ZoomHostAccessible
