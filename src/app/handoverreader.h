#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>
#include <chrono>

class QLocalSocket;

// The running Wispen's end of one connection from a later launch: reads its message piece by
// piece as it arrives, and drops the connection when the message is too long or is not
// complete in time, so that a peer can neither stall the event loop nor fill the memory.
class HandoverReader : public QObject
{
    Q_OBJECT

public:
    // Takes the socket over and greets the launch; gives up on it after timeout.
    HandoverReader(QLocalSocket *socket, std::chrono::milliseconds timeout, QObject *parent);

Q_SIGNALS:
    // The launch is told its files were taken once every receiver has returned.
    void filesArrived(const QList<QUrl> &files);

private:
    void readAvailable();
    void acknowledge();
    void drop();

    QLocalSocket *m_socket = nullptr;
    QByteArray m_header;
    QByteArray m_body;
    bool m_answered = false;
};
