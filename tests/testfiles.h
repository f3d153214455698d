#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

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

// Writes a file the test cannot do without, and names it as a url.
inline QUrl makeFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(folder).filePath(name);
    if (!write(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return QUrl::fromLocalFile(path);
}

// A regular file where the folder at path belongs: every write below it fails, for root too.
inline bool block(const QString &path)
{
    return QDir(path).removeRecursively() && QDir().mkpath(QFileInfo(path).path())
        && write(path, "in the way");
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

inline QByteArray onDesktop(const QString &name)
{
    return contents(QDir(desktop()).filePath(name));
}

// Desktop files named after the date and minute of their save, "2026-12-05_14-07 2.txt".
inline QStringList datedDesktopFiles()
{
    return desktopFiles().filter(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d"_qs));
}

} // namespace TestFiles
