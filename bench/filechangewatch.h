#pragma once

#include <QStringList>

// Counts files created, written or moved into a set of folders (Linux inotify), to show
// which user actions touch the disk.
class FileChangeWatch
{
public:
    explicit FileChangeWatch(const QStringList &folders);
    ~FileChangeWatch();
    FileChangeWatch(const FileChangeWatch &) = delete;
    FileChangeWatch &operator=(const FileChangeWatch &) = delete;

    // The changes seen since the last call.
    int takeChanges();

private:
    int m_fd = -1;
};
