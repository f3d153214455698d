#include "shutdownwatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString interface = QStringLiteral("org.freedesktop.login1.Manager");
} // namespace

ShutdownWatcher::ShutdownWatcher(QObject *parent)
    : ShutdownWatcher(QDBusConnection::systemBus(), parent)
{
}

ShutdownWatcher::ShutdownWatcher(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(service, path, interface, QStringLiteral("PrepareForShutdown"), this,
        SLOT(prepareForShutdown(bool)));
    takeInhibitor();
}

void ShutdownWatcher::takeInhibitor()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Inhibit"));
    call << QStringLiteral("shutdown") << QStringLiteral("Wispen") << QStringLiteral("Saving notes")
         << QStringLiteral("delay");
    // Asked without waiting: a slow or missing logind must not hold up the window.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this](QDBusPendingCallWatcher *finished) {
            const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
            if (reply.isValid() && reply.value().isValid()) {
                m_inhibitor = reply.value();
                Q_EMIT inhibitorChanged();
            }
            finished->deleteLater();
        });
}

void ShutdownWatcher::prepareForShutdown(bool starting)
{
    if (!starting) {
        // The shutdown was called off: be ready to hold the next one back.
        if (!m_inhibitor.isValid())
            takeInhibitor();
        return;
    }
    Q_EMIT shutdownImminent();
    // Closing our copy of the descriptor lets logind go on.
    m_inhibitor = QDBusUnixFileDescriptor();
    Q_EMIT inhibitorChanged();
}
