#include "autosavemanager.h"

#include "autosave/whitespace.h"
#include "notefilewriter.h"
#include "notenaming.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AutoSaveManager {

namespace {

using Place = SaveOutcome::Place;

QString desktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

SaveOutcome outcome(Place place, const std::optional<QString> &path)
{
    if (!path)
        return { Place::Failed, {}, {} };
    return { place, *path, FileStamp::of(*path) };
}

// The name a note keeps when it cannot go where it belongs, in the Recovered folder.
SaveOutcome saveAside(const QString &baseName, const QByteArray &bytes,
    std::optional<QFileDevice::Permissions> permissions)
{
    const QString folder = recoveredFolder();
    if (!NoteFileWriter::makePrivateFolder(folder))
        return { Place::Failed, {}, {} };
    return outcome(
        Place::Recovered, NoteFileWriter::writeNewFile(folder, baseName, bytes, permissions));
}

SaveOutcome saveToOwnFile(const NoteToSave &note, const QByteArray &bytes)
{
    const QString path = note.file->toLocalFile();
    const QFileInfo file(path);
    if (path.isEmpty())
        return saveAside(NoteNaming::dateName(note.now), bytes, std::nullopt);
    if (!note.isEdited)
        return { Place::Unchanged, path, note.fileStamp };
    // An unchanged note leaves its file, and the file's time, alone.
    if (NoteFileWriter::holdsExactly(path, bytes))
        return { Place::Unchanged, path, FileStamp::of(path) };

    const std::optional<FileStamp> now = FileStamp::of(path);
    const std::optional<QFileDevice::Permissions> permissions
        = file.exists() ? std::optional(file.permissions()) : std::nullopt;
    if (now && now != note.fileStamp) {
        // Another program's version stays; ours goes beside it, as private as the file.
        const QString name = file.fileName() + QStringLiteral(" (recovered)");
        if (auto copy = NoteFileWriter::writeNewFile(desktopFolder(), name, bytes, permissions))
            return outcome(Place::BesideChangedFile, copy);
        return saveAside(name, bytes, permissions);
    }
    // Unchanged since Wispen last saw it, or gone meanwhile: the note takes its place.
    if (NoteFileWriter::writeAtomically(path, bytes))
        return outcome(Place::OwnFile, path);
    return saveAside(file.completeBaseName(), bytes, permissions);
}

} // namespace

QString recoveredFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Wispen/Recovered"));
}

SaveOutcome save(const NoteToSave &note)
{
    if (Whitespace::isBlank(note.text))
        return {};
    const QByteArray bytes = note.text.toUtf8();
    if (note.file)
        return saveToOwnFile(note, bytes);
    const QString name = NoteNaming::baseName(note.preferredTitle, note.now);
    if (auto saved = NoteFileWriter::writeNewFile(desktopFolder(), name, bytes))
        return outcome(Place::Desktop, saved);
    return saveAside(name, bytes, std::nullopt);
}

} // namespace AutoSaveManager
