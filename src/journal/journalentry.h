#pragma once

#include "autosave/filestamp.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

// One note as the recovery journal keeps it: a tab's, or a closed tab's that could not be
// written. On disk an entry is the note's whole text as of one moment, the base, and a log of
// what changed since (JournalLog), named after its generation.
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
    // Which log continues the base; 0 for an entry of the earlier format, which has none.
    qint64 generation = 0;

    // A header line of JSON, then the text as UTF-8. The header carries the text's length and
    // checksum, so a cut or garbled entry is recognised instead of recovered as a wrong note.
    QByteArray encode() const;
    // The same from details() made beforehand, on the thread that may read the time zone, and
    // the text as UTF-8, made where the text is written.
    static QByteArray encode(QJsonObject details, qint64 generation, const QByteArray &utf8Text);
    // Reads this format and the earlier one without a generation.
    static std::optional<JournalEntry> decode(const QByteArray &bytes);

    // Everything but the text and the generation, as a log record carries it.
    QJsonObject details() const;
    // False when the details cannot be a note's (a file that is not local).
    bool takeDetails(const QJsonObject &details);

    // Equal in everything the journal writes, the text and the snapshot time aside.
    bool sameDetailsAs(const JournalEntry &other) const;
};
