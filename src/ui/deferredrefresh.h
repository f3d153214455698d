#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

// Runs a view's refresh on the next turn of the event loop, once for any number of requests
// made before that turn. Views observe a session that notifies before it stores, so they read
// it on the next turn, and a burst of changes costs one refresh.
class DeferredRefresh
{
public:
    DeferredRefresh(QObject *context, std::function<void()> refresh);

    void request();
    bool isPending() const { return m_pending; }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_refresh;
    bool m_pending = false;
};
