#include "editortab.h"

EditorTab EditorTab::blank()
{
    return EditorTab { QUuid::createUuid(), std::nullopt, QString(), std::nullopt };
}
