#include "handoverreader.h"

#include "app/handovermessage.h"

#include <QLocalSocket>
#include <QTimer>

HandoverReader::HandoverReader(
    QLocalSocket *socket, std::chrono::milliseconds timeout, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
{
    m_socket->setParent(this);
    connect(m_socket, &QLocalSocket::readyRead, this, &HandoverReader::readAvailable);
    connect(m_socket, &QLocalSocket::disconnected, this, &QObject::deleteLater);
    auto *deadline = new QTimer(this);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, &HandoverReader::drop);
    deadline->start(timeout);
    m_socket->write(HandoverMessage::greeting());
}

void HandoverReader::readAvailable()
{
    if (m_answered)
        return;
    if (m_header.size() < HandoverMessage::headerSize) {
        m_header += m_socket->read(HandoverMessage::headerSize - m_header.size());
        if (m_header.size() < HandoverMessage::headerSize)
            return;
        if (HandoverMessage::bodySize(m_header) > HandoverMessage::maxBodySize)
            return drop();
    }
    // Never more than the header announced: whatever follows is not read at all.
    m_body += m_socket->read(HandoverMessage::bodySize(m_header) - m_body.size());
    if (m_body.size() == qsizetype(HandoverMessage::bodySize(m_header)))
        acknowledge();
}

void HandoverReader::acknowledge()
{
    m_answered = true;
    Q_EMIT filesArrived(HandoverMessage::decode(m_body));
    m_socket->write(HandoverMessage::acknowledgement());
    m_socket->disconnectFromServer();
}

void HandoverReader::drop()
{
    m_socket->abort();
    deleteLater();
}
