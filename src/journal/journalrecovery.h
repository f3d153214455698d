#pragma once

#include <QString>

// Completes the final save of a run that ended without one, from what its recovery journal
// kept: each note goes where the final save would have put it, except that a note whose file
// another program changed meanwhile goes to the desktop as "<file name> (recovered).txt".
// Entries that cannot be read are moved aside, never deleted. Afterwards the journal is empty.
namespace JournalRecovery {

// Returns how many notes were written.
int recover(const QString &journalFolder);

} // namespace JournalRecovery
