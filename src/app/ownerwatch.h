#pragma once

#include "app/instanceplaces.h"

#include <QObject>
#include <QPointer>

class QLocalSocket;

// Watches a Wispen that holds the lock but did not answer, and tells when trying again is
// worth it: it greets a connection again, or it has ended and its lock is stale.
class OwnerWatch : public QObject
{
    Q_OBJECT

public:
    explicit OwnerWatch(const InstancePlaces &places, QObject *parent = nullptr);

Q_SIGNALS:
    void ownerAnswered();

private:
    void look();

    InstancePlaces m_places;
    // One connection at a time waits for the greeting, so a hung Wispen finds one, not hundreds,
    // when it wakes up.
    QPointer<QLocalSocket> m_probe;
};
