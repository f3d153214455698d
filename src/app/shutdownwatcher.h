#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// Tells when logind is about to power off or reboot the machine, and holds the shutdown back
// with a delay inhibitor until the notes have been saved. Where there is no system bus or no
// logind, it does nothing.
class ShutdownWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches the system bus.
    explicit ShutdownWatcher(QObject *parent = nullptr);
    ShutdownWatcher(const QDBusConnection &bus, QObject *parent);

    // True while this process holds a delay inhibitor.
    bool isHoldingShutdown() const { return m_inhibitor.isValid(); }

Q_SIGNALS:
    // The machine goes down once every receiver has returned: save now, synchronously.
    void shutdownImminent();
    // The inhibitor was taken or let go.
    void inhibitorChanged();

private Q_SLOTS:
    // QtDBus delivers bus signals only to slots named by string.
    void prepareForShutdown(bool starting);

private:
    void takeInhibitor();

    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_inhibitor;
};
