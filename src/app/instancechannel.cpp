#include "instancechannel.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <chrono>
#include <pwd.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr auto connectTimeout = 1s;
// The running one loads the files before it answers; big files take a moment.
constexpr auto acknowledgeTimeout = 10s;
// How long a launch waits for another one that is setting up the channel right now.
constexpr auto setUpTimeout = 5s;
constexpr auto lockRetryInterval = 100ms;
constexpr auto streamVersion = QDataStream::Qt_6_4;
const QByteArray acknowledgement = QByteArrayLiteral("ok");

QString userName()
{
    const passwd *entry = getpwuid(getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(getuid());
}

// A folder only the user may enter: made 0700, and refused when someone else owns it.
bool isPrivateFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && info.ownerId() == getuid()
        && (info.permissions()
               & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                   | QFile::WriteOther | QFile::ExeOther))
        == 0;
}

QString privateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    const QString fallback
        = QDir(QDir::tempPath()).filePath(QStringLiteral("wispen-") + userName());
    QDir().mkdir(fallback, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return isPrivateFolder(fallback) ? fallback : QString();
}

QStringList paths(const QList<QUrl> &files)
{
    QStringList result;
    for (const QUrl &file : files)
        result.append(file.toLocalFile());
    return result;
}

} // namespace

InstanceChannel::InstanceChannel(QObject *parent)
    : InstanceChannel(defaultSocketPath(), parent)
{
}

InstanceChannel::InstanceChannel(const QString &socketPath, QObject *parent)
    : QObject(parent)
    , m_socketPath(socketPath)
{
}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::defaultSocketPath()
{
    const QString folder = privateFolder();
    return folder.isEmpty() ? QString()
                            : QDir(folder).filePath(QStringLiteral("wispen-") + userName());
}

InstanceChannel::Role InstanceChannel::start(const QList<QUrl> &files)
{
    if (m_socketPath.isEmpty())
        return Role::Standalone;
    if (const auto settled = settledBy(handOver(files)))
        return *settled;
    return lockAndListen(files);
}

bool InstanceChannel::ownsInstance() const
{
    return m_server && m_server->isListening();
}

// What a launch is once a handover was tried: nothing yet when nobody answered.
std::optional<InstanceChannel::Role> InstanceChannel::settledBy(Handover handover)
{
    switch (handover) {
    case Handover::Acknowledged:
        return Role::HandedOver;
    case Handover::Failed:
        return Role::Standalone;
    case Handover::NoAnswer:
        break;
    }
    return std::nullopt;
}

InstanceChannel::Handover InstanceChannel::handOver(const QList<QUrl> &files) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(int(std::chrono::milliseconds(connectTimeout).count())))
        return Handover::NoAnswer;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << paths(files);
    socket.write(message);
    const QDeadlineTimer deadline(acknowledgeTimeout);
    while (socket.bytesAvailable() < acknowledgement.size() && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    return socket.read(acknowledgement.size()) == acknowledgement ? Handover::Acknowledged
                                                                  : Handover::Failed;
}

// Only one launch at a time may decide that nobody answers, clear a socket left by a crash
// and listen: a file manager may start several copies at once. The lock is held for the life
// of the process, so whoever holds it is the one Wispen.
InstanceChannel::Role InstanceChannel::lockAndListen(const QList<QUrl> &files)
{
    auto lock = std::make_unique<QLockFile>(m_socketPath + QStringLiteral(".lock"));
    lock->setStaleLockTime(0); // held for life: only a lock of a dead process is stale
    const QDeadlineTimer deadline(setUpTimeout);
    while (!lock->tryLock(int(std::chrono::milliseconds(lockRetryInterval).count()))) {
        if (lock->error() != QLockFile::LockFailedError)
            return Role::Standalone;
        // Another launch holds the lock: it may be answering by now.
        if (const auto settled = settledBy(handOver(files)))
            return *settled;
        if (deadline.hasExpired())
            return Role::Standalone;
    }
    QLocalServer::removeServer(m_socketPath);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_socketPath))
        return Role::Standalone;
    server->setParent(this);
    m_server = server.release();
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            serve(socket);
    });
    m_lock = std::move(lock);
    return Role::Owner;
}

void InstanceChannel::serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        QDataStream in(socket);
        in.setVersion(streamVersion);
        in.startTransaction();
        QStringList requested;
        in >> requested;
        if (!in.commitTransaction())
            return;
        QList<QUrl> files;
        for (const QString &path : std::as_const(requested)) {
            if (QFileInfo(path).isAbsolute())
                files.append(QUrl::fromLocalFile(path));
        }
        Q_EMIT filesRequested(files);
        socket->write(acknowledgement);
        socket->disconnectFromServer();
    });
}
