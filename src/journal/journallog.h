#pragma once

#include "journalentry.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

// What changed in a journal entry's note since its base was written: an append-only file of
// records, each framed by its length and a checksum. A record cut short by a kill, or garbled,
// ends the log there: what came before it is kept, and nothing after it is applied.
namespace JournalLog {

// "<stem>.<generation>.log", beside the entry "<stem>.entry"; the stem is the tab's id.
QString fileName(const QString &stem, qint64 generation);
// The stem and generation a log's file name gives; nothing for another name.
std::optional<std::pair<QString, qint64>> parseFileName(const QString &name);

// The note's details as they are now: title, order, file and the others.
QByteArray detailsRecord(const JournalEntry &entry);
// removed characters from position on gave way to added, leaving the text lengthAfter long;
// positions and lengths count UTF-16 code units, as QString does.
QByteArray editRecord(
    qsizetype position, qsizetype removed, QStringView added, qsizetype lengthAfter);

struct Replayed
{
    qsizetype records = 0;
    // False when the log ends in a record that is damaged or does not fit the text.
    bool isWhole = true;
};

// Applies the records to entry in order, up to the first that is damaged or does not fit.
Replayed replay(const QByteArray &log, JournalEntry &entry);

} // namespace JournalLog
