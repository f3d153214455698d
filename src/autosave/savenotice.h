#pragma once

#include "autosavemanager.h"

#include <QString>
#include <optional>

// What the person is told when a note did not go where they would look for it: one sentence,
// and the folder that holds the note, if any. A plain value, so that it can wait for the
// window, or for the next start when the app is quitting.
struct SaveNotice
{
    QString text;
    QString folder;

    // Nothing for the normal places, where saving stays silent.
    static std::optional<SaveNotice> about(const NoteToSave &note, const SaveOutcome &outcome);
    // A file that was not opened because it is larger than limitBytes.
    static SaveNotice fileTooLarge(const QString &path, qint64 limitBytes);
    static SaveNotice fileHasTooManyLines(const QString &path, qint64 limitLines);

    friend bool operator==(const SaveNotice &, const SaveNotice &) = default;
};
