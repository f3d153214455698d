#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// What identifies one version of a file closely enough to tell that another program changed
// it: its size, its modification time to the nanosecond, and the file itself (a replacement
// by rename gets a new inode even when size and time agree).
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    // Nothing when path is not a regular file (links are followed).
    static std::optional<FileStamp> of(const QString &path);

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};
