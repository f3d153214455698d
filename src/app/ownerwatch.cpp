#include "ownerwatch.h"

#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr auto lookInterval = 500ms;

} // namespace

OwnerWatch::OwnerWatch(const InstancePlaces &places, QObject *parent)
    : QObject(parent)
    , m_places(places)
{
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &OwnerWatch::look);
    timer->start(lookInterval);
}

void OwnerWatch::look()
{
    QLockFile lock(m_places.lockPath);
    lock.setStaleLockTime(0);
    if (lock.tryLock()) {
        // Free now; the launch takes it for good when it tries again.
        lock.unlock();
        Q_EMIT ownerAnswered();
        return;
    }
    if (m_probe || m_places.socketPath.isEmpty())
        return;
    m_probe = new QLocalSocket(this);
    connect(m_probe, &QLocalSocket::readyRead, this, &OwnerWatch::ownerAnswered);
    connect(m_probe, &QLocalSocket::errorOccurred, m_probe, &QObject::deleteLater);
    m_probe->connectToServer(m_places.socketPath);
}
