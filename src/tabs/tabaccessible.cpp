#include "tabaccessible.h"

#include "tabcell.h"
#include "tabstrip.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

class StripInterface : public QAccessibleWidget
{
public:
    explicit StripInterface(TabStrip *strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList)
    {
    }

    QList<TabCell *> cells() const { return static_cast<TabStrip *>(widget())->orderedCells(); }

    int childCount() const override { return int(cells().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<TabCell *> all = cells();
        return index >= 0 && index < all.size()
            ? QAccessible::queryAccessibleInterface(all.at(index))
            : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(cells().indexOf(qobject_cast<TabCell *>(child->object()))) : -1;
    }
};

class CellInterface : public QAccessibleWidget
{
public:
    explicit CellInterface(TabCell *cell)
        : QAccessibleWidget(cell, QAccessible::PageTab)
    {
        addControllingSignal(QStringLiteral("closeClicked()"));
    }

    TabCell *cell() const { return static_cast<TabCell *>(widget()); }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return cell()->title();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = cell()->isSelected();
        return state;
    }
    // The strip is the parent, not the row widget inside its scroll area.
    QAccessibleInterface *parent() const override
    {
        for (QWidget *up = cell()->parentWidget(); up; up = up->parentWidget()) {
            if (auto *strip = qobject_cast<TabStrip *>(up))
                return QAccessible::queryAccessibleInterface(strip);
        }
        return QAccessibleWidget::parent();
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            cell()->requestSelect();
    }
};

} // namespace

namespace TabAccessible {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == u"TabStrip")
        return new StripInterface(static_cast<TabStrip *>(object));
    if (className == u"TabCell")
        return new CellInterface(static_cast<TabCell *>(object));
    return nullptr;
}

} // namespace TabAccessible
