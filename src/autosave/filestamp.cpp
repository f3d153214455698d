#include "filestamp.h"

#include <QFile>
#include <sys/stat.h>

std::optional<FileStamp> FileStamp::of(const QString &path)
{
    struct stat info = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0
        || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp { qint64(info.st_size),
        qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec, quint64(info.st_ino),
        quint64(info.st_dev) };
}
