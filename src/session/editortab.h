#pragma once

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
    QString cachedText;
    std::optional<QUrl> openedFileURL;

    // A fresh id, no title, no text, no file.
    static EditorTab blank();

    friend bool operator==(const EditorTab &, const EditorTab &) = default;
};
