#pragma once

#include "autosave/filestamp.h"
#include "notetext.h"

#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

// One tab of the note session: its identity, the name the user gave it, its plain text and
// the file it was loaded from. A plain value; formatting never lives here.
struct EditorTab
{
    QUuid id;
    std::optional<QString> customTitle;
    NoteText cachedText;
    std::optional<QUrl> openedFileURL;
    // The bound file as it stood when the text was loaded from it or last written to it.
    std::optional<FileStamp> fileStamp;
    // False while the text is what the bound file held then.
    bool isEdited = false;

    // A fresh id, no title, no text, no file.
    static EditorTab blank();

    // Whether closing the tab or quitting has anything to write: a note that is not blank
    // and not already held by its own file.
    bool needsSaving() const;

    friend bool operator==(const EditorTab &, const EditorTab &) = default;
};
