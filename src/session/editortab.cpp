#include "editortab.h"

EditorTab EditorTab::blank()
{
    return EditorTab { QUuid::createUuid(), std::nullopt, NoteText(), std::nullopt, std::nullopt,
        false };
}

bool EditorTab::needsSaving() const
{
    return !cachedText.isBlank() && (isEdited || !openedFileURL);
}
