#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

// The size and modification time of a file, to tell whether another program changed it.
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedMs = 0;

    // Nothing when path is not a readable file.
    static std::optional<FileStamp> of(const QString &path);

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// One tab's note as the recovery journal keeps it between snapshots.
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
