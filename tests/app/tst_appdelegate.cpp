#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/filedropfilter.h"
#include "app/noticecenter.h"
#include "app/shutdownwatcher.h"
#include "app/unixsignalbridge.h"
#include "autosave/autosavemanager.h"
#include "editor/wispentextview.h"
#include "editordriver.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"
#include "ui/noticebar.h"

#include <QDBusMessage>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// Stands in for logind on a private bus: hands out delay inhibitors as the write end of a pipe,
// and sees one let go when the pipe's read end reaches its end.
class FakeLogin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    bool isReleased(int index) const
    {
        pollfd entry { readEnds.at(index).fileDescriptor(), POLLIN, 0 };
        return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLHUP);
    }

    QStringList requests;
    QList<QDBusUnixFileDescriptor> readEnds;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(
        const QString &what, const QString &, const QString &, const QString &mode)
    {
        requests.append(what + u' ' + mode);
        int fds[2] = { -1, -1 };
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return {};
        QDBusUnixFileDescriptor handed;
        handed.giveFileDescriptor(fds[1]);
        readEnds.append(QDBusUnixFileDescriptor());
        readEnds.last().giveFileDescriptor(fds[0]);
        return handed;
    }
};

// The delegate's two jobs with the pieces that bring it work: files handed over from the command
// line or dropped open into tabs, and every note is written before the app ends, be it at a
// Unix signal or at logind's notice of a shutdown, with what went wrong told at the next start.
class tst_AppDelegate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QDir(TestFiles::desktop()).removeRecursively(); }

    void commandLineArgumentsBecomeAbsoluteFileUrls_data();
    void commandLineArgumentsBecomeAbsoluteFileUrls();
    void droppedLocalFilesOpenAndAreNeverPasted_data();
    void droppedLocalFilesOpenAndAreNeverPasted();

    void finalSaveWritesEveryNoteAndTheJournalKeepsWhatFitsNowhere();
    void terminationSignalsArriveInTheEventLoop();
    void aDelayInhibitorHoldsShutdownUntilTheNotesAreSavedAndIsTakenAgainOnCancel();
    void noticesRaisedWhileQuittingAreShownAtTheNextStartOnly();
};

void tst_AppDelegate::commandLineArgumentsBecomeAbsoluteFileUrls_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("paths"); // from /cwd

    QTest::newRow("relative and absolute paths, in order")
        << QStringList { u"b.txt"_qs, u"/tmp/n.txt"_qs, u"sub/a.txt"_qs }
        << QStringList { u"/cwd/b.txt"_qs, u"/tmp/n.txt"_qs, u"/cwd/sub/a.txt"_qs };
    QTest::newRow("dots are resolved") << QStringList { u"../x.txt"_qs, u"./y.txt"_qs }
                                       << QStringList { u"/x.txt"_qs, u"/cwd/y.txt"_qs };
    QTest::newRow("a file url names its file")
        << QStringList { u"file:///tmp/a%20b.txt"_qs } << QStringList { u"/tmp/a b.txt"_qs };
    QTest::newRow("remote urls and empty arguments are dropped")
        << QStringList { u"https://example.org/n.txt"_qs, QString(), u"n.txt"_qs }
        << QStringList { u"/cwd/n.txt"_qs };
    QTest::newRow("after -- everything is a path") << QStringList { u"--"_qs, u"--"_qs,
        u"http://x"_qs } << QStringList { u"/cwd/--"_qs, u"/cwd/http:/x"_qs };
}

void tst_AppDelegate::commandLineArgumentsBecomeAbsoluteFileUrls()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, paths);
    QStringList actual;
    for (const QUrl &url : CommandLine::fileUrls(arguments, u"/cwd"_qs)) {
        QVERIFY(url.isLocalFile());
        actual.append(url.toLocalFile());
    }
    QCOMPARE(actual, paths);
}

void tst_AppDelegate::droppedLocalFilesOpenAndAreNeverPasted_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QList<QUrl>>("opened");
    const QUrl a = QUrl::fromLocalFile(u"/tmp/a.txt"_qs);
    const QUrl b = QUrl::fromLocalFile(u"/tmp/b.txt"_qs);
    const QUrl web(u"https://example.org/c.txt"_qs);

    QTest::newRow("two files") << QList<QUrl> { a, b } << QList<QUrl> { a, b };
    QTest::newRow("a file among web links") << QList<QUrl> { web, a } << QList<QUrl> { a };
    QTest::newRow("only a web link, pasted as text") << QList<QUrl> { web } << QList<QUrl>();
}

void tst_AppDelegate::droppedLocalFilesOpenAndAreNeverPasted()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QList<QUrl>, opened);
    WispenTextView view;
    EditorDriver::show(&view);
    FileDropFilter filter;
    filter.watch(view.viewport());
    QSignalSpy dropped(&filter, &FileDropFilter::filesDropped);
    // File managers offer the paths as text too: that text must not land in the note.
    QMimeData data;
    data.setUrls(urls);
    data.setText(u"dropped text"_qs);
    const QPoint middle = view.viewport()->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent drop(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &drop);
    QCOMPARE(dropped.count(), opened.isEmpty() ? 0 : 1);
    QCOMPARE(dropped.value(0).value(0).value<QList<QUrl>>(), opened);
    QCOMPARE(view.plainText().contains(u"dropped text"_qs), opened.isEmpty());
}

// The active note is the editor's text and goes under the date without its title; the others
// go where closing them would. The journal lets go of a note only once it is written.
void tst_AppDelegate::finalSaveWritesEveryNoteAndTheJournalKeepsWhatFitsNowhere()
{
    QTemporaryDir dir;
    const QUrl file = TestFiles::makeFile(dir.path(), u"note.txt"_qs, "old\r\n");
    NoteSession session;
    RecoveryJournal journal(session, dir.filePath(u"journal"_qs));
    AppDelegate delegate(session);
    delegate.setJournal(&journal);
    session.loadFile(file);
    session.updateActiveTabText(u"old\r\nnew"_qs);
    for (const QString &title : { u"Plan"_qs, u"Active"_qs }) {
        session.addTab();
        session.updateTabTitleDraft(session.selectedTabId(), title);
        session.updateActiveTabText(title.toLower());
    }
    WispenTextView view;
    session.attachTextView(&view);
    view.moveCursor(QTextCursor::End);
    view.insertPlainText(u" and typed"_qs);
    const auto entries
        = [&dir] { return QDir(dir.filePath(u"journal"_qs), u"*.entry"_qs).count(); };
    journal.snapshot();
    QCOMPARE(entries(), 3u);

    // A file where the desktop and the Recovered folder should be: two notes fit nowhere.
    QVERIFY(TestFiles::block(TestFiles::desktop()));
    QVERIFY(TestFiles::block(AutoSaveManager::recoveredFolder()));
    delegate.finalSave();
    QCOMPARE(TestFiles::contents(file.toLocalFile()), "old\r\nnew");
    QCOMPARE(entries(), 2u);

    QVERIFY(QFile::remove(TestFiles::desktop()));
    delegate.finalSave();
    QCOMPARE(entries(), 0u);
    QCOMPARE(TestFiles::desktopFiles().size(), 2);
    QCOMPARE(TestFiles::onDesktop(u"Plan.txt"_qs), "plan");
    const QString active = TestFiles::datedDesktopFiles().value(0);
    QCOMPARE(TestFiles::onDesktop(active), "active and typed");

    // Written again only once it changes; as if the clock had moved on, a second save would
    // get a different date name.
    QVERIFY(QDir(TestFiles::desktop()).rename(active, u"1999-01-01_00-00.txt"_qs));
    delegate.finalSave();
    QCOMPARE(TestFiles::desktopFiles().size(), 2);
    view.insertPlainText(u" again"_qs);
    delegate.finalSave();
    QCOMPARE(TestFiles::onDesktop(active), "active and typed again");
    QFile::remove(AutoSaveManager::recoveredFolder());
}

void tst_AppDelegate::terminationSignalsArriveInTheEventLoop()
{
    UnixSignalBridge bridge;
    QSignalSpy spy(&bridge, &UnixSignalBridge::terminationRequested);
    // Without the bridge's handler these would end the test process.
    const QList<int> raised { SIGTERM, SIGHUP, SIGINT };
    for (const int signalNumber : raised)
        QCOMPARE(::raise(signalNumber), 0);
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), raised.size());
    for (qsizetype i = 0; i < raised.size(); ++i)
        QCOMPARE(spy.at(i).first().toInt(), raised.at(i));
}

void tst_AppDelegate::aDelayInhibitorHoldsShutdownUntilTheNotesAreSavedAndIsTakenAgainOnCancel()
{
    const QString daemonPath = QStandardPaths::findExecutable(u"dbus-daemon"_qs);
    QVERIFY2(!daemonPath.isEmpty(), "dbus-daemon is missing (run scripts/install-deps.sh)");
    QProcess daemon; // a private bus
    daemon.start(daemonPath, { u"--session"_qs, u"--nofork"_qs, u"--print-address=1"_qs });
    QTRY_VERIFY(daemon.canReadLine());
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    QDBusConnection loginBus = QDBusConnection::connectToBus(address, u"login"_qs);
    FakeLogin login;
    QVERIFY(loginBus.registerObject(
        u"/org/freedesktop/login1"_qs, &login, QDBusConnection::ExportAllSlots));
    QVERIFY(loginBus.registerService(u"org.freedesktop.login1"_qs));
    const auto announce = [&loginBus](bool starting) {
        QDBusMessage signal = QDBusMessage::createSignal(u"/org/freedesktop/login1"_qs,
            u"org.freedesktop.login1.Manager"_qs, u"PrepareForShutdown"_qs);
        return loginBus.send(signal << starting);
    };

    ShutdownWatcher watcher(QDBusConnection::connectToBus(address, u"watcher"_qs), nullptr);
    QTRY_VERIFY(watcher.isHoldingShutdown());
    QCOMPARE(login.requests, QStringList { u"shutdown delay"_qs });
    bool heldWhileSaving = false;
    connect(&watcher, &ShutdownWatcher::shutdownImminent, this,
        [&] { heldWhileSaving = watcher.isHoldingShutdown() && !login.isReleased(0); });
    QSignalSpy saved(&watcher, &ShutdownWatcher::shutdownImminent);
    QVERIFY(announce(true));
    QVERIFY(saved.wait());
    QVERIFY(heldWhileSaving);
    QTRY_VERIFY(login.isReleased(0));

    // A cancelled shutdown takes a new inhibitor, for the next one, and saves nothing.
    QVERIFY(announce(false));
    QTRY_VERIFY(watcher.isHoldingShutdown());
    QCOMPARE(login.requests.size(), 2);
    QVERIFY(!login.isReleased(1));
    QCOMPARE(saved.count(), 1);
    QDBusConnection::disconnectFromBus(u"watcher"_qs);
    QDBusConnection::disconnectFromBus(u"login"_qs);
    daemon.kill();
    daemon.waitForFinished();
}

// Notices reach the bar one at a time; those raised while the app quits wait in the settings
// for the next start, and are shown there once.
void tst_AppDelegate::noticesRaisedWhileQuittingAreShownAtTheNextStartOnly()
{
    {
        NoticeBar bar;
        NoticeCenter quitting(bar);
        QSignalSpy opened(&bar, &NoticeBar::folderRequested);
        QVERIFY(bar.isHidden());
        quitting.postAll({ { u"first"_qs, u"/tmp/a"_qs }, { u"second"_qs, QString() } });
        QCOMPARE(bar.text(), u"first"_qs);
        QCOMPARE(bar.waiting(), 2);
        bar.openFolderButton()->click();
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toString(), u"/tmp/a"_qs);
        bar.dismissButton()->click();
        QCOMPARE(bar.text(), u"second"_qs);
        QVERIFY(bar.openFolderButton()->isHidden()); // no folder to open
        bar.dismissButton()->click();
        QVERIFY(bar.isHidden());
        quitting.keepForNextStart();
        quitting.post({ u"during the final save"_qs, u"/tmp/r"_qs });
    }
    NoticeBar bar;
    NoticeCenter next(bar);
    next.showPending();
    QCOMPARE(bar.text(), u"during the final save"_qs);
    QCOMPARE(bar.folder(), u"/tmp/r"_qs);
    QCOMPARE(bar.waiting(), 1);
    NoticeBar third;
    NoticeCenter afterThat(third);
    afterThat.showPending();
    QVERIFY(third.isHidden());
}

WISPEN_TEST_MAIN(tst_AppDelegate)
#include "tst_appdelegate.moc"
