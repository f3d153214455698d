#include "notefilewriter.h"

#include "notenaming.h"
#include "writefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <unistd.h>

namespace NoteFileWriter {

namespace {
// Far more copies of one name than anyone keeps; only a runaway loop gets here.
constexpr int maxCopyNumber = 10000;

// A rename is durable only once the folder that holds the new name is on disk too.
void syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace

bool writeAtomically(const QString &path, const QByteArray &bytes,
    std::optional<QFileDevice::Permissions> permissions)
{
    if (WriteFaults::refuses(path))
        return false;
    const bool isNew = !QFileInfo::exists(path);
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Set on the temporary file, so the bytes are never readable by more people than meant.
    if (isNew && permissions)
        file.setPermissions(*permissions);
    // QSaveFile buffers: a write that fails only as the buffer goes to disk (a full disk, a
    // file-size limit) shows in flush(), and commit() would not tell.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    syncFolderOf(path);
    return true;
}

bool holdsExactly(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != bytes.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

std::optional<QString> writeNewFile(const QString &folder, const QString &baseName,
    const QByteArray &bytes, std::optional<QFileDevice::Permissions> permissions)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return std::nullopt;
    const QDir dir(folder);
    for (int copy = 1; copy <= maxCopyNumber; ++copy) {
        const QString path = dir.filePath(NoteNaming::fileName(baseName, copy));
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink()) {
            if (holdsExactly(path, bytes))
                return path;
            continue;
        }
        if (writeAtomically(path, bytes, permissions))
            return path;
        return std::nullopt;
    }
    return std::nullopt;
}

bool makePrivateFolder(const QString &folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    return QFile::setPermissions(folder,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

} // namespace NoteFileWriter
