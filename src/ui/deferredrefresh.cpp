#include "deferredrefresh.h"

#include <QTimer>

DeferredRefresh::DeferredRefresh(QObject *context, std::function<void()> refresh)
    : m_context(context)
    , m_refresh(std::move(refresh))
{
}

void DeferredRefresh::request()
{
    if (m_pending || !m_context)
        return;
    m_pending = true;
    QTimer::singleShot(0, m_context, [this] {
        m_pending = false;
        m_refresh();
    });
}
