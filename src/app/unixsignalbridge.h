#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the main thread. The handler itself
// only writes the signal's number into a socket pair; a notifier reads it in the event loop,
// where it is safe to save notes and quit. One bridge per process.
class UnixSignalBridge : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalBridge(QObject *parent = nullptr);
    ~UnixSignalBridge() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    static void handle(int signalNumber);
    void drain();

    int m_readFd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
