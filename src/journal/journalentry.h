#pragma once

#include "autosave/filestamp.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

// One note as the recovery journal keeps it between snapshots: a tab's, or a closed tab's that
// could not be written.
struct JournalEntry
{
    QUuid tabId;
    int order = 0;
    bool wasActive = false;
    QString title;
    QString text;
    std::optional<QUrl> file;
    std::optional<FileStamp> fileStamp;
    QDateTime snapshotAt;

    // A header line of JSON, then the text as UTF-8. The header carries the text's length and
    // checksum, so a cut or garbled entry is recognised instead of recovered as a wrong note.
    QByteArray encode() const;
    static std::optional<JournalEntry> decode(const QByteArray &bytes);

    // Equal in everything the journal writes, the snapshot time aside.
    bool sameNoteAs(const JournalEntry &other) const;
};
