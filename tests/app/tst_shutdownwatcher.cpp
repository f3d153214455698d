#include "app/shutdownwatcher.h"
#include "testmain.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// Stands in for logind on a private bus: hands out delay inhibitors as the write end of a
// pipe, and sees that one is let go when the pipe's read end reaches its end.
class FakeLogin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLogin() override
    {
        for (const int fd : std::as_const(readEnds))
            ::close(fd);
    }

    bool isReleased(int index) const
    {
        pollfd entry { readEnds.at(index), POLLIN, 0 };
        char byte = 0;
        return ::poll(&entry, 1, 0) == 1 && ::read(readEnds.at(index), &byte, 1) == 0;
    }

    QStringList requests;
    QList<int> readEnds;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(
        const QString &what, const QString &who, const QString &why, const QString &mode)
    {
        Q_UNUSED(who);
        Q_UNUSED(why);
        requests.append(what + u' ' + mode);
        int fds[2] = { -1, -1 };
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return {};
        readEnds.append(fds[0]);
        QDBusUnixFileDescriptor handed(fds[1]); // holds its own copy
        ::close(fds[1]);
        return handed;
    }
};

class tst_ShutdownWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void aDelayInhibitorIsHeldUntilTheNotesAreSavedAndTakenAgainOnCancel();
    void withoutABusNothingHappensAndNothingIsSaid();

private:
    void announce(bool starting);

    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<FakeLogin> m_login;
    int m_connection = 0;
    QString m_loginName;
};

void tst_ShutdownWatcher::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is missing (run scripts/install-deps.sh)");
    m_daemon.start(daemon,
        { QStringLiteral("--session"), QStringLiteral("--nofork"),
            QStringLiteral("--print-address=1") });
    QVERIFY(m_daemon.waitForStarted());
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
}

void tst_ShutdownWatcher::init()
{
    m_loginName = QStringLiteral("login%1").arg(++m_connection);
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, m_loginName);
    QVERIFY(bus.isConnected());
    m_login = std::make_unique<FakeLogin>();
    QVERIFY(bus.registerObject(
        QStringLiteral("/org/freedesktop/login1"), m_login.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.login1")));
}

void tst_ShutdownWatcher::cleanup()
{
    QDBusConnection::disconnectFromBus(m_loginName);
    m_login.reset();
}

void tst_ShutdownWatcher::cleanupTestCase()
{
    m_daemon.kill();
    m_daemon.waitForFinished();
}

void tst_ShutdownWatcher::announce(bool starting)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForShutdown"));
    signal << starting;
    QVERIFY(QDBusConnection(m_loginName).send(signal));
}

void tst_ShutdownWatcher::aDelayInhibitorIsHeldUntilTheNotesAreSavedAndTakenAgainOnCancel()
{
    const QString name = QStringLiteral("watcher%1").arg(m_connection);
    ShutdownWatcher watcher(QDBusConnection::connectToBus(m_address, name), nullptr);
    QTRY_VERIFY(watcher.isHoldingShutdown());
    QCOMPARE(m_login->requests, QStringList { QStringLiteral("shutdown delay") });
    QVERIFY(!m_login->isReleased(0));
    bool heldWhileSaving = false;
    connect(&watcher, &ShutdownWatcher::shutdownImminent, this,
        [&] { heldWhileSaving = watcher.isHoldingShutdown() && !m_login->isReleased(0); });

    QSignalSpy saved(&watcher, &ShutdownWatcher::shutdownImminent);
    announce(true);

    QVERIFY(saved.wait());
    QVERIFY(heldWhileSaving);
    QVERIFY(!watcher.isHoldingShutdown());
    QTRY_VERIFY(m_login->isReleased(0));

    // A cancelled shutdown takes a new inhibitor, for the next one.
    announce(false);
    QTRY_VERIFY(watcher.isHoldingShutdown());
    QCOMPARE(m_login->requests.size(), 2);
    QVERIFY(!m_login->isReleased(1));
    QCOMPARE(saved.count(), 1);
    QDBusConnection::disconnectFromBus(name);
}

void tst_ShutdownWatcher::withoutABusNothingHappensAndNothingIsSaid()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    const QString name = QStringLiteral("nobus");
    ShutdownWatcher watcher(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), name), nullptr);
    QTest::qWait(50);
    QVERIFY(!watcher.isHoldingShutdown());
    QDBusConnection::disconnectFromBus(name);
}

WISPEN_TEST_MAIN(tst_ShutdownWatcher)
#include "tst_shutdownwatcher.moc"
