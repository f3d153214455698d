#include "app/unixsignalbridge.h"
#include "testmain.h"

#include <QSignalSpy>
#include <csignal>

class tst_UnixSignalBridge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aSignalArrivesInTheEventLoop_data();
    void aSignalArrivesInTheEventLoop();
    void signalsInQuickSuccessionAreAllReported();
};

void tst_UnixSignalBridge::aSignalArrivesInTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
}

void tst_UnixSignalBridge::aSignalArrivesInTheEventLoop()
{
    QFETCH(int, signalNumber);
    UnixSignalBridge bridge;
    QSignalSpy spy(&bridge, &UnixSignalBridge::terminationRequested);
    // Without the bridge's handler this would end the test process.
    QCOMPARE(::raise(signalNumber), 0);
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait());
    QCOMPARE(spy.first().first().toInt(), signalNumber);
}

void tst_UnixSignalBridge::signalsInQuickSuccessionAreAllReported()
{
    UnixSignalBridge bridge;
    QSignalSpy spy(&bridge, &UnixSignalBridge::terminationRequested);
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    QTRY_COMPARE(spy.count(), 2);
}

WISPEN_TEST_MAIN(tst_UnixSignalBridge)
#include "tst_unixsignalbridge.moc"
