#include "app/handovermessage.h"
#include "app/instancechannel.h"
#include "app/instanceplaces.h"
#include "testfiles.h"
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
    QVERIFY(QDir().mkdir(path(u"run"_qs), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_places = InstancePlaces::in(path(u"state"_qs), path(u"run"_qs), ::getuid());
    QVERIFY(!m_places.socketPath.isEmpty());
}

void tst_InstanceChannel::laterLaunchHandsItsFilesOver_data()
{
    QTest::addColumn<QList<QUrl>>("handed");
    QTest::addColumn<QList<QUrl>>("taken");
    // What a misbehaving peer sends first, how long the owner waits for a whole message, and
    // the peer's state once the launch is served: a dropped peer, like none, is unconnected.
    QTest::addColumn<QByteArray>("peerSends");
    QTest::addColumn<std::chrono::milliseconds>("messageTimeout");
    QTest::addColumn<QLocalSocket::LocalSocketState>("peerState");
    const auto gone = QLocalSocket::UnconnectedState;
    const QByteArray noPeer;
    const std::chrono::milliseconds anHour = 1h, briefly = 200ms;
    const QList<QUrl> odd = localFiles({ u"/notes/Grüße\nzwei %0A.txt"_qs });
    QTest::newRow("line break and umlauts in a name") << odd << odd << noPeer << anHour << gone;
    QStringList many;
    for (int i = 0; i < 3000; ++i)
        many.append(u"/notes/%1/%2.txt"_qs.arg(QString(100, u'n')).arg(i));
    QTest::newRow("more than a socket buffer holds")
        << localFiles(many) << localFiles(many) << noPeer << anHour << gone;
    const QList<QUrl> one = localFiles({ u"/notes/a.txt"_qs });
    const QList<QUrl> mixed { QUrl(u"https://example.org/a.txt"_qs), QUrl(u"file:relative.txt"_qs),
        one.first() };
    QTest::newRow("only absolute local files") << mixed << one << noPeer << anHour << gone;
    // Refused at once, however long the owner would wait for the rest.
    QTest::newRow("after a peer whose message is longer than the bound")
        << one << one << header(HandoverMessage::maxBodySize + 1) + QByteArray(64 * 1024, 'x')
        << anHour << gone;
    const QByteArray halfMessage = header(100) + "file:///notes/a";
    QTest::newRow("after a peer whose message stops half-way")
        << one << one << halfMessage << briefly << gone;
    QTest::newRow("after a peer whose header stops half-way")
        << one << one << QByteArray(2, '\0') << briefly << gone;
    QTest::newRow("beside a peer whose message stalls")
        << one << one << halfMessage << anHour << QLocalSocket::ConnectedState;
}

void tst_InstanceChannel::laterLaunchHandsItsFilesOver()
{
    QFETCH(QList<QUrl>, handed);
    QFETCH(QList<QUrl>, taken);
    QFETCH(QByteArray, peerSends);
    QFETCH(std::chrono::milliseconds, messageTimeout);
    QFETCH(QLocalSocket::LocalSocketState, peerState);
    InstanceChannel::Timeouts timeouts = patient;
    timeouts.message = messageTimeout;
    InstanceChannel owner(m_places, timeouts);
    QCOMPARE(owner.start({}), Role::Owner);
    QSignalSpy requested(&owner, &InstanceChannel::filesRequested);
    QLocalSocket peer;
    if (!peerSends.isEmpty()) {
        peer.connectToServer(m_places.socketPath);
        QVERIFY(peer.waitForConnected());
        peer.write(peerSends);
    }
    QTRY_COMPARE_WITH_TIMEOUT(peer.state(), peerState, 20000);

    QCOMPARE(launchElsewhere(m_places, handed), Role::HandedOver);
    // The launch ends only once the owner has taken the files.
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.at(0).at(0).value<QList<QUrl>>(), taken);
    QCOMPARE(peer.state(), peerState);
}

// Both launches start together in threads of their own; the one that becomes the owner comes
// to this thread's event loop to serve the other, as it would in its own process. Several
// rounds, for the race between taking the lock and listening.
void tst_InstanceChannel::simultaneousLaunchesOpenEveryFile()
{
    const QList<QUrl> files[2]
        = { localFiles({ u"/notes/first.txt"_qs }), localFiles({ u"/notes/second.txt"_qs }) };
    for (int round = 0; round < 5; ++round) {
        std::unique_ptr<InstanceChannel> launches[2];
        std::unique_ptr<QSignalSpy> requested[2];
        std::unique_ptr<QThread> threads[2];
        Role roles[2] {};
        std::latch together(2);
        for (int i = 0; i < 2; ++i) {
            launches[i] = std::make_unique<InstanceChannel>(m_places, patient);
            requested[i]
                = std::make_unique<QSignalSpy>(launches[i].get(), &InstanceChannel::filesRequested);
            threads[i].reset(QThread::create([&, i, here = QThread::currentThread()] {
                together.arrive_and_wait();
                roles[i] = launches[i]->start(files[i]);
                launches[i]->moveToThread(here);
            }));
            launches[i]->moveToThread(threads[i].get());
        }
        for (const auto &thread : threads)
            thread->start();
        for (const auto &thread : threads)
            serveUntilFinished(*thread);

        const int owner = roles[0] == Role::Owner ? 0 : 1;
        QCOMPARE(roles[1 - owner], Role::HandedOver);
        QCOMPARE(requested[owner]->count(), 1);
        QCOMPARE(requested[owner]->at(0).at(0).value<QList<QUrl>>(), files[1 - owner]);
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
    QVERIFY(QDir().mkpath(path(u"state"_qs)));
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
    QCOMPARE(launch.start(localFiles({ u"/notes/a.txt"_qs })), role);

    // The files go only to a holder that greets: one that wakes up later must not open them.
    while (holder.waitForNewConnection(0)) {
        while (QLocalSocket *peer = holder.nextPendingConnection()) {
            peer->waitForReadyRead(0);
            QCOMPARE(peer->readAll(), QByteArray());
        }
    }
}

void tst_InstanceChannel::refusedFolderIsNeverUsed_data()
{
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<QString>("state");
    QTest::addColumn<uid_t>("owner");
    QTest::addColumn<Role>("role");
    const uid_t me = ::getuid();
    QTest::newRow("runtime open to the group") << u"open"_qs << u"state"_qs << me << Role::Owner;
    QTest::newRow("runtime of another user") << u"run"_qs << u"state"_qs << me + 1 << Role::Owner;
    QTest::newRow("runtime a link to a private one")
        << u"link"_qs << u"state"_qs << me << Role::Owner;
    QTest::newRow("a file for the runtime") << u"file"_qs << u"state"_qs << me << Role::Owner;
    QTest::newRow("a file for the state") << u"run"_qs << u"file"_qs << me << Role::Unavailable;
}

// Without a private runtime folder the owner takes the lock but has no socket, and a later
// launch cannot hand anything over; without a lock no launch may edit notes at all.
void tst_InstanceChannel::refusedFolderIsNeverUsed()
{
    QFETCH(QString, runtime);
    QFETCH(QString, state);
    QFETCH(uid_t, owner);
    QFETCH(Role, role);
    QVERIFY(QDir().mkdir(path(u"open"_qs)));
    QVERIFY(QFile::setPermissions(path(u"open"_qs),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup));
    QVERIFY(QFile::link(path(u"run"_qs), path(u"link"_qs)));
    QVERIFY(TestFiles::write(path(u"file"_qs), {}));
    const bool refused = runtime != u"run" || owner != ::getuid();
    if (refused)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not a folder of"_qs));
    const InstancePlaces places = InstancePlaces::in(path(state), path(runtime), owner);
    QCOMPARE(places.socketPath.isEmpty(), refused);

    InstanceChannel first(places, impatient);
    QCOMPARE(first.start({}), role);
    if (role == Role::Owner) {
        InstanceChannel later(places, impatient);
        QCOMPARE(later.start(localFiles({ u"/notes/a.txt"_qs })), Role::Unresponsive);
    }
    for (const QString &folder : { u"open"_qs, u"run"_qs })
        QVERIFY(QDir(path(folder)).isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
    QCOMPARE(QFileInfo(path(u"file"_qs)).size(), 0);
}

WISPEN_TEST_MAIN(tst_InstanceChannel)
#include "tst_instancechannel.moc"
