#pragma once

#include "autosave/savenotice.h"
#include "journalentry.h"

#include <QList>
#include <QString>
#include <optional>

// Completes the final save of a run that ended without one, from what its recovery journal
// kept: each note goes where the final save would have put it, and a note whose file another
// program changed meanwhile goes to the desktop as "<file name> (recovered).txt". An entry
// leaves the journal only once its note is on disk; one that could be written nowhere stays
// for the next start. Entries that cannot be read are moved aside, never deleted.
namespace JournalRecovery {

struct Result
{
    int written = 0;
    int keptForLater = 0;
    // What the person should be told once the window is up.
    QList<SaveNotice> notices;
};

Result recover(const QString &journalFolder);

// The note the entry at path holds, its log replayed; nothing when the entry cannot be read.
std::optional<JournalEntry> readEntry(const QString &path);

} // namespace JournalRecovery
