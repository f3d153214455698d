#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>

// Small file helpers shared by tests that check what landed on disk.
namespace TestFiles {

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The desktop of the test's throwaway HOME, where notes without a file of their own go.
inline QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

inline QStringList desktopFiles()
{
    return QDir(desktop()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace TestFiles
