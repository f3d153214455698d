#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// Keeps one Wispen per user. The first launch listens on a local socket that only its user
// can reach; a later launch hands it the files it was given and ends.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        Owner, // this process is the one Wispen and takes files from later launches
        HandedOver, // the running Wispen acknowledged the files: this launch should end
        Standalone, // the running one did not answer, or no channel could be set up
    };

    // The channel at the default place, see defaultSocketPath().
    explicit InstanceChannel(QObject *parent = nullptr);
    // The channel at socketPath; an empty path means there is no safe place for one.
    InstanceChannel(const QString &socketPath, QObject *parent);
    ~InstanceChannel() override;

    // Hand files to a running Wispen, or become the running one. Blocks until that is settled;
    // call it before the event loop runs.
    Role start(const QList<QUrl> &files);

    // True while this process is the one Wispen of its user.
    bool ownsInstance() const;

    // In $XDG_RUNTIME_DIR, else in a folder of the user's own under the temp folder, made
    // private; empty when neither is safe to use.
    static QString defaultSocketPath();

Q_SIGNALS:
    // A later launch asks to open files; an empty list only asks to bring the window up.
    void filesRequested(const QList<QUrl> &files);

private:
    enum class Handover { NoAnswer, Acknowledged, Failed };

    static std::optional<Role> settledBy(Handover handover);
    Handover handOver(const QList<QUrl> &files) const;
    Role lockAndListen(const QList<QUrl> &files);
    void serve(QLocalSocket *socket);

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
