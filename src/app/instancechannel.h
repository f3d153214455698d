#pragma once

#include "app/instanceplaces.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <memory>

class QDeadlineTimer;
class QLocalServer;
class QLockFile;

// Keeps one Wispen per user, so that no two processes edit the same notes. The first launch
// takes a lock and listens on a local socket that only its user can reach; a later launch hands
// it the files it was given and ends.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        Owner, // this process holds the lock: it is the one Wispen and takes later launches' files
        HandedOver, // the running Wispen has taken the files: this launch should end
        Unresponsive, // a live Wispen holds the lock but did not take the files in time
        Unavailable, // no lock can be taken, so this launch cannot know whether one runs
    };

    struct Timeouts
    {
        // How long a launch tries to reach the Wispen that holds the lock, which may be
        // starting up right now, before it calls it unresponsive.
        std::chrono::milliseconds reach = std::chrono::seconds(5);
        // The running one opens the files before it answers; big files take a moment.
        std::chrono::milliseconds answer = std::chrono::seconds(10);
        // How long the running one waits for a launch's whole message.
        std::chrono::milliseconds message = std::chrono::seconds(3);
    };

    InstanceChannel(
        const InstancePlaces &places, const Timeouts &timeouts, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Hands files to the running Wispen, or becomes it. Blocks until that is settled, for at most
    // about the reach and answer timeouts; call it before the event loop runs. A launch that
    // was not answered may call it again.
    Role start(const QList<QUrl> &files);

    const InstancePlaces &places() const { return m_places; }

Q_SIGNALS:
    // A later launch asks to open files; an empty list only asks to bring the window up.
    void filesRequested(const QList<QUrl> &files);

private:
    bool handOver(const QList<QUrl> &files, const QDeadlineTimer &reach) const;
    void listen();
    void takeConnections();

    InstancePlaces m_places;
    Timeouts m_timeouts;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
