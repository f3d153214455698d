#pragma once

class QAccessibleInterface;
class QObject;
class QString;
class QWidget;
class ZoomHost;

// What assistive technology sees of the zoom host: the window's content as its one child, at
// every scale. A graphics view on its own would show only its viewport, and the content drawn
// through the scene would hang loose from the window.
namespace ZoomHostAccessible {

// For QAccessible::installFactory(); installed once by the first zoom host.
QAccessibleInterface *factory(const QString &className, QObject *object);
// Makes content's interface a child of host's.
void markContent(QWidget *content, ZoomHost *host);

} // namespace ZoomHostAccessible
