#include "autosavemanager.h"

#include "autosave/whitespace.h"
#include "notefilewriter.h"
#include "notenaming.h"

#include <QDir>
#include <QStandardPaths>

namespace AutoSaveManager {

namespace {

std::optional<QString> saveToOwnFile(const QUrl &url, const QByteArray &bytes)
{
    const QString path = url.toLocalFile();
    if (path.isEmpty())
        return std::nullopt;
    // An unchanged note leaves its file, and the file's time, alone.
    if (NoteFileWriter::holdsExactly(path, bytes) || NoteFileWriter::writeAtomically(path, bytes))
        return path;
    return std::nullopt;
}

std::optional<QString> saveToDesktop(
    const std::optional<QString> &preferredTitle, const QByteArray &bytes, const QDateTime &now)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return NoteFileWriter::writeNewFile(desktop, NoteNaming::baseName(preferredTitle, now), bytes);
}

} // namespace

QString recoveredFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Wispen/Recovered"));
}

QString saveIfNeeded(const QString &text, const std::optional<QUrl> &openedFileURL,
    const std::optional<QString> &preferredTitle)
{
    return saveIfNeeded(text, openedFileURL, preferredTitle, QDateTime::currentDateTime());
}

QString saveIfNeeded(const QString &text, const std::optional<QUrl> &openedFileURL,
    const std::optional<QString> &preferredTitle, const QDateTime &now)
{
    if (Whitespace::isBlank(text))
        return {};
    const QByteArray bytes = text.toUtf8();
    const std::optional<QString> saved = openedFileURL ? saveToOwnFile(*openedFileURL, bytes)
                                                       : saveToDesktop(preferredTitle, bytes, now);
    if (saved)
        return *saved;
    return NoteFileWriter::writeNewFile(recoveredFolder(), NoteNaming::dateName(now), bytes)
        .value_or(QString());
}

} // namespace AutoSaveManager
