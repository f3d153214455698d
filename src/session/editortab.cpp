#include "editortab.h"

#include "autosave/whitespace.h"

EditorTab EditorTab::blank()
{
    return EditorTab { QUuid::createUuid(), std::nullopt, QString(), std::nullopt, std::nullopt,
        false };
}

bool EditorTab::needsSaving() const
{
    return !Whitespace::isBlank(cachedText) && (isEdited || !openedFileURL);
}
