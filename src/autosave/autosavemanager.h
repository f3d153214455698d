#pragma once

#include "filestamp.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <optional>

// A note as the save rules see it.
struct NoteToSave
{
    QString text;
    // The file the note was loaded from, and that file as Wispen last read or wrote it.
    std::optional<QUrl> file;
    std::optional<FileStamp> fileStamp;
    // False when the text is what the file held when it was loaded or last written.
    bool isEdited = true;
    std::optional<QString> preferredTitle;
    QDateTime now = QDateTime::currentDateTime();
};

// Where a save left the note.
struct SaveOutcome
{
    enum class Place {
        Nowhere, // blank: nothing to keep
        Unchanged, // its file holds it already; nothing was written
        OwnFile, // written back to its file
        Desktop, // a new file on the desktop
        BesideChangedFile, // its file was changed by another program: a "(recovered)" copy
        Recovered, // could not go where it belongs: in the Recovered folder
        Failed, // written nowhere
    };

    Place place = Place::Nowhere;
    // The file that holds the note; empty for Nowhere and Failed.
    QString path;
    // That file as it stands after the save.
    std::optional<FileStamp> stamp;

    // Whether the note is safe on disk (or had nothing to keep).
    bool isKept() const { return place != Place::Failed; }
    // Whether the note is somewhere the person would not look for it, or nowhere.
    bool isUnexpected() const
    {
        return place == Place::BesideChangedFile || place == Place::Recovered
            || place == Place::Failed;
    }
};

// Writes a note where it belongs: back to the file it came from, else to a new file on the
// desktop named after its title or the date. Blank notes are never written, and neither is a
// file whose note was not edited. A file that another program changed since Wispen read or
// wrote it is never written over: the note goes beside it on the desktop as
// "<file name> (recovered).txt". A note that cannot go where it belongs goes to the Recovered
// folder under the same name.
namespace AutoSaveManager {

SaveOutcome save(const NoteToSave &note);

// Where notes go that could not be written where they belong; readable by its owner alone.
QString recoveredFolder();

} // namespace AutoSaveManager
