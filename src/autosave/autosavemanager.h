#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <optional>

// Writes a note where it belongs: back to the file it came from, else to a new file on the
// desktop named after its title or the date. Blank notes are never written. Nothing is ever
// reported to the user; a note that cannot go where it belongs goes to the Recovered folder.
namespace AutoSaveManager {

// Returns the file that now holds the note, or an empty string when nothing holds it
// (a blank note, or every write failed).
QString saveIfNeeded(const QString &text, const std::optional<QUrl> &openedFileURL,
    const std::optional<QString> &preferredTitle);
QString saveIfNeeded(const QString &text, const std::optional<QUrl> &openedFileURL,
    const std::optional<QString> &preferredTitle, const QDateTime &now);

// Where notes go that could not be written where they belong.
QString recoveredFolder();

} // namespace AutoSaveManager
