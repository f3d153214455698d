#include "savenotice.h"

#include <QFileInfo>
#include <QLocale>

namespace {

QString quoted(const QString &name)
{
    return QStringLiteral("\u201C%1\u201D").arg(name);
}

// How the note is known to the person: its file's name, or its title.
QString noteName(const NoteToSave &note)
{
    if (note.file)
        return quoted(QFileInfo(note.file->toLocalFile()).fileName());
    if (note.preferredTitle && !note.preferredTitle->isEmpty())
        return quoted(*note.preferredTitle);
    return QStringLiteral("A note");
}

} // namespace

std::optional<SaveNotice> SaveNotice::about(const NoteToSave &note, const SaveOutcome &outcome)
{
    const QFileInfo saved(outcome.path);
    switch (outcome.place) {
    case SaveOutcome::Place::BesideChangedFile:
        return SaveNotice { QStringLiteral("%1 was changed by another program, so your version "
                                           "was saved beside it as %2.")
                                .arg(noteName(note), quoted(saved.fileName())),
            saved.absolutePath() };
    case SaveOutcome::Place::Recovered:
        return SaveNotice { QStringLiteral("%1 could not be saved where it belongs, so it was "
                                           "saved as %2 in the Recovered folder.")
                                .arg(noteName(note), quoted(saved.fileName())),
            saved.absolutePath() };
    case SaveOutcome::Place::Failed:
        return SaveNotice { QStringLiteral("%1 could not be saved anywhere. Wispen keeps it and "
                                           "tries again at the next start.")
                                .arg(noteName(note)),
            QString() };
    default:
        return std::nullopt;
    }
}

SaveNotice SaveNotice::fileTooLarge(const QString &path, qint64 limitBytes)
{
    const QFileInfo file(path);
    return SaveNotice { QStringLiteral("%1 was not opened: it is larger than %2, the most Wispen "
                                       "opens on this computer.")
                            .arg(quoted(file.fileName()),
                                QLocale::system().formattedDataSize(
                                    limitBytes, 0, QLocale::DataSizeTraditionalFormat)),
        file.absolutePath() };
}

SaveNotice SaveNotice::fileHasTooManyLines(const QString &path, qint64 limitLines)
{
    const QFileInfo file(path);
    return SaveNotice { QStringLiteral("%1 was not opened: it has more than %2 lines, the most "
                                       "Wispen opens.")
                            .arg(quoted(file.fileName()), QLocale::system().toString(limitLines)),
        file.absolutePath() };
}
