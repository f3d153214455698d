#include "notefilewriter.h"

#include "notenaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace NoteFileWriter {

namespace {
// Far more copies of one name than anyone keeps; only a runaway loop gets here.
constexpr int maxCopyNumber = 10000;
} // namespace

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile buffers: a write that fails only as the buffer goes to disk (a full disk, a
    // file-size limit) shows in flush(), and commit() would not tell.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool holdsExactly(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != bytes.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

std::optional<QString> writeNewFile(
    const QString &folder, const QString &baseName, const QByteArray &bytes)
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
        if (writeAtomically(path, bytes))
            return path;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace NoteFileWriter
