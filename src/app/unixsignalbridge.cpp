#include "unixsignalbridge.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array bridgedSignals = { SIGTERM, SIGHUP, SIGINT };

// The handler may touch nothing but this, and async-signal-safe calls.
volatile sig_atomic_t writeFd = -1;

} // namespace

UnixSignalBridge::UnixSignalBridge(QObject *parent)
    : QObject(parent)
{
    std::array<int, 2> fds {};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds.data()) != 0)
        return;
    m_readFd = fds[0];
    writeFd = fds[1];
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalBridge::drain);

    struct sigaction action = {};
    action.sa_handler = &UnixSignalBridge::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : bridgedSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

UnixSignalBridge::~UnixSignalBridge()
{
    if (m_readFd < 0)
        return;
    for (const int signalNumber : bridgedSignals)
        ::signal(signalNumber, SIG_DFL);
    ::close(writeFd);
    writeFd = -1;
    ::close(m_readFd);
}

void UnixSignalBridge::handle(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<char>(signalNumber);
    // A full pipe means a wake-up is pending already; nothing is lost by dropping this one.
    [[maybe_unused]] const auto written = ::write(writeFd, &byte, 1);
    errno = savedErrno;
}

void UnixSignalBridge::drain()
{
    char byte = 0;
    while (::read(m_readFd, &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
}
