#pragma once

#include "autosave/autosavemanager.h"

#include <QUuid>

// A note of a closed tab that could be written nowhere. The session keeps it, the recovery
// journal keeps a copy on disk, and every later save tries it again.
struct UnsavedNote
{
    QUuid tabId;
    NoteToSave note;
};
