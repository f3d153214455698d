#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// The tab strip as assistive technology knows tabs: a page tab list of page tabs, each named
// by its title, the selected one marked so, and each selected by its press action.
namespace TabAccessible {

QAccessibleInterface *factory(const QString &className, QObject *object);

} // namespace TabAccessible
