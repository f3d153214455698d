#include "instanceplaces.h"

#include "journal/recoveryjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString userName()
{
    const passwd *entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::getuid());
}

// The socket reveals which files a user opens and lets anyone who reaches it open more: its
// folder must be a real folder (not a link), owned by the user and closed to everyone else.
bool isPrivateFolder(const QString &path, uid_t user)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == user && (info.st_mode & 0777) == 0700;
}

QString runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime))
        return runtime;
    const QString fallback
        = QDir(QDir::tempPath()).filePath(QStringLiteral("wispen-") + userName());
    // One that exists already, maybe made by someone else, is checked like any other.
    ::mkdir(QFile::encodeName(fallback).constData(), 0700);
    return fallback;
}

} // namespace

InstancePlaces InstancePlaces::ofCurrentUser()
{
    return in(QFileInfo(RecoveryJournal::defaultFolder()).path(), runtimeFolder(), ::getuid());
}

InstancePlaces InstancePlaces::in(
    const QString &stateFolder, const QString &runtimeFolder, uid_t user)
{
    InstancePlaces places;
    places.lockPath = QDir(stateFolder).filePath(QStringLiteral("instance.lock"));
    if (isPrivateFolder(runtimeFolder, user)) {
        places.socketPath = QDir(runtimeFolder).filePath(QStringLiteral("wispen-") + userName());
    } else {
        qWarning("Wispen: %s is not a folder of this user closed to others; later launches "
                 "cannot hand files over",
            qUtf8Printable(runtimeFolder));
    }
    return places;
}
