#include "app/handovermessage.h"
#include "app/instancechannel.h"
#include "app/instanceplaces.h"
#include "testmain.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <latch>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Role = InstanceChannel::Role;

namespace {

// Long enough for a loaded build machine; a launch gives up on a held lock quickly.
constexpr InstanceChannel::Timeouts patient { .reach = 30s, .answer = 30s, .message = 30s };
constexpr InstanceChannel::Timeouts impatient { .reach = 500ms, .answer = 30s, .message = 30s };

QList<QUrl> localFiles(const QStringList &paths)
{
    QList<QUrl> files;
    for (const QString &path : paths)
        files.append(QUrl::fromLocalFile(path));
    return files;
}

// Serves this thread's event loop, where the owner lives, until thread has ended.
void serveUntilFinished(QThread &thread)
{
    while (!thread.wait(QDeadlineTimer(10ms)))
        QCoreApplication::processEvents();
}

// A later launch in a thread of its own, as a second process would be.
Role launchElsewhere(const InstancePlaces &places, const QList<QUrl> &files,
    const InstanceChannel::Timeouts &timeouts = patient)
{
    Role role = Role::Unavailable;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        InstanceChannel launch(places, timeouts);
        role = launch.start(files);
    }));
    thread->start();
    serveUntilFinished(*thread);
    return role;
}

QByteArray header(quint32 bodySize)
{
    QByteArray bytes(HandoverMessage::headerSize, Qt::Uninitialized);
    qToBigEndian(bodySize, bytes.data());
    return bytes;
}

// The pid of a process that has ended.
qint64 endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

// One Wispen per user: the owner takes the files of every later launch, also of launches that
// start at the same moment as it, serves them one by one without letting a misbehaving peer
// hold it up, and a launch never goes on beside a live owner that does not answer.
class tst_InstanceChannel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void laterLaunchHandsItsFilesOver_data();
    void laterLaunchHandsItsFilesOver();
    void simultaneousLaunchesOpenEveryFile();
    void launchFacingAnotherLock_data();
    void launchFacingAnotherLock();
    void misbehavingPeerIsDroppedAndOthersServed_data();
    void misbehavingPeerIsDroppedAndOthersServed();
    void refusedFolderIsNeverUsed_data();
    void refusedFolderIsNeverUsed();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    InstancePlaces m_places;
};

void tst_InstanceChannel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkdir(
        path(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_places = InstancePlaces::in(
        path(QStringLiteral("state")), path(QStringLiteral("run")), ::getuid());
    QVERIFY(!m_places.socketPath.isEmpty());
}

void tst_InstanceChannel::laterLaunchHandsItsFilesOver_data()
{
    QTest::addColumn<QList<QUrl>>("handed");
    QTest::addColumn<QList<QUrl>>("taken");
    const QList<QUrl> two
        = localFiles({ QStringLiteral("/notes/a.txt"), QStringLiteral("/notes/b.txt") });
    QTest::newRow("two files") << two << two;
    QTest::newRow("no files, to bring the window up") << QList<QUrl>() << QList<QUrl>();
    const QList<QUrl> odd = localFiles({ QStringLiteral("/notes/Grüße\nzwei %0A.txt") });
    QTest::newRow("line break and umlauts in a name") << odd << odd;
    QStringList many;
    for (int i = 0; i < 3000; ++i)
        many.append(QStringLiteral("/notes/%1/%2.txt").arg(QString(100, u'n')).arg(i));
    QTest::newRow("more than a socket buffer holds") << localFiles(many) << localFiles(many);
    QTest::newRow("only absolute local files")
        << QList<QUrl> { QUrl(QStringLiteral("https://example.org/a.txt")),
               QUrl(QStringLiteral("file:relative.txt")), two.first() }
        << QList<QUrl> { two.first() };
}

void tst_InstanceChannel::laterLaunchHandsItsFilesOver()
{
    QFETCH(QList<QUrl>, handed);
    QFETCH(QList<QUrl>, taken);
    InstanceChannel owner(m_places, patient);
    QCOMPARE(owner.start({}), Role::Owner);
    QSignalSpy requested(&owner, &InstanceChannel::filesRequested);

    QCOMPARE(launchElsewhere(m_places, handed), Role::HandedOver);
    // The launch ends only once the owner has taken the files.
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.at(0).at(0).value<QList<QUrl>>(), taken);
}

// Both launches start together in threads of their own; the one that becomes the owner comes
// to this thread's event loop to serve the other, as it would in its own process. Several
// rounds, for the race between taking the lock and listening.
void tst_InstanceChannel::simultaneousLaunchesOpenEveryFile()
{
    for (int round = 0; round < 5; ++round) {
        const QList<QList<QUrl>> files { localFiles({ QStringLiteral("/notes/first.txt") }),
            localFiles({ QStringLiteral("/notes/second.txt") }) };
        std::vector<std::unique_ptr<InstanceChannel>> launches;
        std::vector<std::unique_ptr<QSignalSpy>> requested;
        std::vector<std::unique_ptr<QThread>> threads;
        Role roles[2] {};
        std::latch together(2);
        QThread *here = QThread::currentThread();
        for (int i = 0; i < 2; ++i) {
            launches.push_back(std::make_unique<InstanceChannel>(m_places, patient));
            requested.push_back(std::make_unique<QSignalSpy>(
                launches.back().get(), &InstanceChannel::filesRequested));
            InstanceChannel *launch = launches.back().get();
            threads.emplace_back(QThread::create([&, i, launch, here] {
                together.arrive_and_wait();
                roles[i] = launch->start(files[i]);
                launch->moveToThread(here);
            }));
            launch->moveToThread(threads.back().get());
        }
        for (const auto &thread : threads)
            thread->start();
        for (const auto &thread : threads)
            serveUntilFinished(*thread);

        const int owner = roles[0] == Role::Owner ? 0 : 1;
        const int other = 1 - owner;
        QCOMPARE(roles[owner], Role::Owner);
        QCOMPARE(roles[other], Role::HandedOver);
        QCOMPARE(requested[owner]->count(), 1);
        QCOMPARE(requested[owner]->at(0).at(0).value<QList<QUrl>>(), files[other]);
        QCOMPARE(requested[other]->count(), 0);
    }
}

void tst_InstanceChannel::launchFacingAnotherLock_data()
{
    QTest::addColumn<bool>("holderLives");
    QTest::addColumn<bool>("holderListens");
    QTest::addColumn<Role>("role");
    QTest::newRow("live holder, nothing listens") << true << false << Role::Unresponsive;
    QTest::newRow("live holder listens but never answers") << true << true << Role::Unresponsive;
    QTest::newRow("holder has ended") << false << false << Role::Owner;
}

// This process stands in for the holder: while the launch blocks it, it answers nobody.
void tst_InstanceChannel::launchFacingAnotherLock()
{
    QFETCH(bool, holderLives);
    QFETCH(bool, holderListens);
    QFETCH(Role, role);
    QVERIFY(QDir().mkpath(path(QStringLiteral("state"))));
    QLockFile held(m_places.lockPath);
    if (holderLives) {
        QVERIFY(held.tryLock());
    } else {
        QFile lock(m_places.lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(endedProcess()) + "\nwispen\n"
            + QSysInfo::machineHostName().toUtf8() + '\n');
    }
    QLocalServer holder;
    QVERIFY(!holderListens || holder.listen(m_places.socketPath));

    InstanceChannel launch(m_places, impatient);
    QCOMPARE(launch.start(localFiles({ QStringLiteral("/notes/a.txt") })), role);

    // The files go only to a holder that greets: one that wakes up later must not open them.
    while (holder.waitForNewConnection(0)) {
        while (QLocalSocket *peer = holder.nextPendingConnection()) {
            peer->waitForReadyRead(0);
            QCOMPARE(peer->readAll(), QByteArray());
        }
    }
}

void tst_InstanceChannel::misbehavingPeerIsDroppedAndOthersServed_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<std::chrono::milliseconds>("messageTimeout");
    QTest::addColumn<bool>("dropped");
    // Refused at once, however long the owner would wait for the rest.
    QTest::newRow("message longer than the bound")
        << header(HandoverMessage::maxBodySize + 1) + QByteArray(64 * 1024, 'x')
        << std::chrono::milliseconds(1h) << true;
    QTest::newRow("message that stops half-way")
        << header(100) + "file:///notes/a" << std::chrono::milliseconds(200ms) << true;
    QTest::newRow("header that stops half-way")
        << QByteArray(2, '\0') << std::chrono::milliseconds(200ms) << true;
    // Waited for as long as the owner is told to, while others are served meanwhile.
    QTest::newRow("message that stalls")
        << header(100) + "file:///notes/a" << std::chrono::milliseconds(1h) << false;
}

void tst_InstanceChannel::misbehavingPeerIsDroppedAndOthersServed()
{
    QFETCH(QByteArray, sent);
    QFETCH(std::chrono::milliseconds, messageTimeout);
    QFETCH(bool, dropped);
    InstanceChannel::Timeouts timeouts = patient;
    timeouts.message = messageTimeout;
    InstanceChannel owner(m_places, timeouts);
    QCOMPARE(owner.start({}), Role::Owner);
    QSignalSpy requested(&owner, &InstanceChannel::filesRequested);

    QLocalSocket peer;
    peer.connectToServer(m_places.socketPath);
    QVERIFY(peer.waitForConnected());
    peer.write(sent);
    if (dropped)
        QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState, 20000);
    QCOMPARE(requested.count(), 0);

    const QList<QUrl> files = localFiles({ QStringLiteral("/notes/next.txt") });
    QCOMPARE(launchElsewhere(m_places, files), Role::HandedOver);
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.at(0).at(0).value<QList<QUrl>>(), files);
    QCOMPARE(peer.state(), dropped ? QLocalSocket::UnconnectedState : QLocalSocket::ConnectedState);
}

void tst_InstanceChannel::refusedFolderIsNeverUsed_data()
{
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("otherUser");
    QTest::addColumn<Role>("role");
    QTest::newRow("runtime folder open to the group")
        << QStringLiteral("open") << QStringLiteral("state") << false << Role::Owner;
    QTest::newRow("runtime folder of another user")
        << QStringLiteral("run") << QStringLiteral("state") << true << Role::Owner;
    QTest::newRow("runtime folder a link to a private one")
        << QStringLiteral("link") << QStringLiteral("state") << false << Role::Owner;
    QTest::newRow("a file where the runtime folder should be")
        << QStringLiteral("file") << QStringLiteral("state") << false << Role::Owner;
    QTest::newRow("a file where the state folder should be")
        << QStringLiteral("run") << QStringLiteral("file") << false << Role::Unavailable;
}

// Without a private runtime folder the owner takes the lock but has no socket, and a later
// launch cannot hand anything over; without a lock no launch may edit notes at all.
void tst_InstanceChannel::refusedFolderIsNeverUsed()
{
    QFETCH(QString, runtime);
    QFETCH(QString, state);
    QFETCH(bool, otherUser);
    QFETCH(Role, role);
    QVERIFY(QDir().mkdir(path(QStringLiteral("open"))));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("open")),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup));
    QVERIFY(QFile::link(path(QStringLiteral("run")), path(QStringLiteral("link"))));
    QFile file(path(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const bool refused = runtime != u"run" || otherUser;
    if (refused)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not a folder of")));
    const InstancePlaces places
        = InstancePlaces::in(path(state), path(runtime), ::getuid() + (otherUser ? 1 : 0));
    QCOMPARE(places.socketPath.isEmpty(), refused);

    InstanceChannel first(places, impatient);
    QCOMPARE(first.start({}), role);
    if (role == Role::Owner) {
        InstanceChannel later(places, impatient);
        QCOMPARE(later.start(localFiles({ QStringLiteral("/notes/a.txt") })), Role::Unresponsive);
    }
    for (const QString &folder : { QStringLiteral("open"), QStringLiteral("run") })
        QCOMPARE(
            QDir(path(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(QFileInfo(path(QStringLiteral("file"))).size(), 0);
}

WISPEN_TEST_MAIN(tst_InstanceChannel)
#include "tst_instancechannel.moc"
