#include "filechangewatch.h"

#include <QDir>
#include <sys/inotify.h>
#include <unistd.h>

FileChangeWatch::FileChangeWatch(const QStringList &folders)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    for (const QString &folder : folders) {
        QDir().mkpath(folder);
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
            IN_CREATE | IN_MODIFY | IN_MOVED_TO | IN_CLOSE_WRITE);
    }
}

FileChangeWatch::~FileChangeWatch()
{
    if (m_fd >= 0)
        close(m_fd);
}

int FileChangeWatch::takeChanges()
{
    int changes = 0;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            return changes;
        for (ssize_t offset = 0; offset < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            ++changes;
            offset += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
}
