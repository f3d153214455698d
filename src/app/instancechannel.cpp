#include "instancechannel.h"

#include "app/handovermessage.h"
#include "app/handoverreader.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <algorithm>

namespace {

using namespace std::chrono_literals;

constexpr auto retryInterval = 100ms;

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

// Waits for the running one to say exactly `expected`.
bool receive(QLocalSocket &socket, const QByteArray &expected, const QDeadlineTimer &deadline)
{
    while (socket.bytesAvailable() < expected.size()) {
        if (!socket.waitForReadyRead(remainingMs(deadline)))
            return false;
    }
    return socket.read(expected.size()) == expected;
}

} // namespace

InstanceChannel::InstanceChannel(
    const InstancePlaces &places, const Timeouts &timeouts, QObject *parent)
    : QObject(parent)
    , m_places(places)
    , m_timeouts(timeouts)
{
}

InstanceChannel::~InstanceChannel()
{
    // The socket goes before the lock: once the lock is free, the next Wispen may listen at
    // the same path, and closing ours then would remove its socket.
    delete m_server;
}

// The lock alone decides which process is the one Wispen. Its holder listens right after taking
// it, so a launch that finds it held keeps trying to reach the holder for a while: two launches
// at the same moment find each other this way. Only the lock of a process that has ended is
// taken over.
InstanceChannel::Role InstanceChannel::start(const QList<QUrl> &files)
{
    QDir().mkpath(QFileInfo(m_places.lockPath).path());
    auto lock = std::make_unique<QLockFile>(m_places.lockPath);
    lock->setStaleLockTime(0); // held for life, however long that is
    const QDeadlineTimer reach(m_timeouts.reach);
    bool locked = lock->tryLock();
    while (!locked) {
        if (lock->error() != QLockFile::LockFailedError)
            return Role::Unavailable;
        if (handOver(files, reach))
            return Role::HandedOver;
        if (reach.hasExpired())
            return Role::Unresponsive;
        locked = lock->tryLock(int(std::chrono::milliseconds(retryInterval).count()));
    }
    m_lock = std::move(lock);
    listen();
    return Role::Owner;
}

// One try at giving the files to the holder of the lock. The files are sent only once it has
// greeted this launch: one that is hung must not open them long after the launch gave up.
bool InstanceChannel::handOver(const QList<QUrl> &files, const QDeadlineTimer &reach) const
{
    if (m_places.socketPath.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_places.socketPath);
    if (!socket.waitForConnected(remainingMs(reach))
        || !receive(socket, HandoverMessage::greeting(), reach))
        return false;
    socket.write(HandoverMessage::encode(files));
    return receive(socket, HandoverMessage::acknowledgement(), QDeadlineTimer(m_timeouts.answer));
}

// Without a socket this process is still the one Wispen; later launches just cannot reach it.
void InstanceChannel::listen()
{
    if (m_places.socketPath.isEmpty())
        return;
    QLocalServer::removeServer(m_places.socketPath); // left behind by a crash
    auto server = std::make_unique<QLocalServer>(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_places.socketPath)) {
        qWarning("Wispen: cannot listen at %s: %s", qUtf8Printable(m_places.socketPath),
            qUtf8Printable(server->errorString()));
        return;
    }
    m_server = server.release();
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::takeConnections);
}

void InstanceChannel::takeConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        auto *reader = new HandoverReader(socket, m_timeouts.message, this);
        connect(reader, &HandoverReader::filesArrived, this, &InstanceChannel::filesRequested);
    }
}
