#include "journalentry.h"

#include <QCryptographicHash>
#include <QJsonDocument>

namespace {

constexpr int formatVersion = 3;
// Entries written before logs existed; still read, so their notes are recovered.
constexpr int formatWithoutLog = 2;

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256).toHex();
}

} // namespace

QJsonObject JournalEntry::details() const
{
    QJsonObject details {
        { QStringLiteral("tab"), tabId.toString(QUuid::WithoutBraces) },
        { QStringLiteral("order"), order },
        { QStringLiteral("active"), wasActive },
        { QStringLiteral("title"), title },
        { QStringLiteral("snapshotAt"), snapshotAt.toMSecsSinceEpoch() },
    };
    if (file)
        details.insert(QStringLiteral("file"), file->toString(QUrl::FullyEncoded));
    if (fileStamp) {
        // Strings: JSON numbers are doubles, which would round nanoseconds and inodes.
        details.insert(QStringLiteral("fileSize"), QString::number(fileStamp->size));
        details.insert(QStringLiteral("fileModifiedNs"), QString::number(fileStamp->modifiedNs));
        details.insert(QStringLiteral("fileInode"), QString::number(fileStamp->inode));
        details.insert(QStringLiteral("fileDevice"), QString::number(fileStamp->device));
    }
    return details;
}

bool JournalEntry::takeDetails(const QJsonObject &details)
{
    tabId = QUuid::fromString(details.value(QStringLiteral("tab")).toString());
    order = details.value(QStringLiteral("order")).toInt();
    wasActive = details.value(QStringLiteral("active")).toBool();
    title = details.value(QStringLiteral("title")).toString();
    snapshotAt
        = QDateTime::fromMSecsSinceEpoch(details.value(QStringLiteral("snapshotAt")).toInteger());
    file.reset();
    if (details.contains(QStringLiteral("file"))) {
        const QUrl url(details.value(QStringLiteral("file")).toString(), QUrl::StrictMode);
        if (!url.isLocalFile())
            return false;
        file = url;
    }
    fileStamp.reset();
    if (details.contains(QStringLiteral("fileSize"))) {
        const auto number = [&details](const char *key) {
            return details.value(QLatin1String(key)).toString().toULongLong();
        };
        fileStamp = FileStamp { qint64(number("fileSize")), qint64(number("fileModifiedNs")),
            number("fileInode"), number("fileDevice") };
    }
    return true;
}

QByteArray JournalEntry::encode() const
{
    return encode(details(), generation, text.toUtf8());
}

QByteArray JournalEntry::encode(QJsonObject details, qint64 generation, const QByteArray &utf8Text)
{
    details.insert(QStringLiteral("version"), formatVersion);
    details.insert(QStringLiteral("generation"), QString::number(generation));
    details.insert(QStringLiteral("textBytes"), utf8Text.size());
    details.insert(QStringLiteral("blake2b"), QString::fromLatin1(checksum(utf8Text)));
    return QJsonDocument(details).toJson(QJsonDocument::Compact) + '\n' + utf8Text;
}

std::optional<JournalEntry> JournalEntry::decode(const QByteArray &bytes)
{
    const qsizetype newline = bytes.indexOf('\n');
    if (newline < 0)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.first(newline));
    const QJsonObject header = document.object();
    const QByteArray body = bytes.sliced(newline + 1);
    const int version = header.value(QStringLiteral("version")).toInt();
    if (!document.isObject() || (version != formatVersion && version != formatWithoutLog)
        || header.value(QStringLiteral("textBytes")).toInteger(-1) != body.size()
        || header.value(QStringLiteral("blake2b")).toString().toLatin1() != checksum(body))
        return std::nullopt;

    JournalEntry entry;
    if (!entry.takeDetails(header))
        return std::nullopt;
    entry.text = QString::fromUtf8(body);
    if (version == formatVersion)
        entry.generation = header.value(QStringLiteral("generation")).toString().toLongLong();
    return entry;
}

bool JournalEntry::sameDetailsAs(const JournalEntry &other) const
{
    return tabId == other.tabId && order == other.order && wasActive == other.wasActive
        && title == other.title && file == other.file && fileStamp == other.fileStamp;
}
