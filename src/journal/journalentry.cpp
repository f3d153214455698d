#include "journalentry.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int formatVersion = 2;

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256).toHex();
}

} // namespace

QByteArray JournalEntry::encode() const
{
    const QByteArray body = text.toUtf8();
    QJsonObject header {
        { QStringLiteral("version"), formatVersion },
        { QStringLiteral("tab"), tabId.toString(QUuid::WithoutBraces) },
        { QStringLiteral("order"), order },
        { QStringLiteral("active"), wasActive },
        { QStringLiteral("title"), title },
        { QStringLiteral("snapshotAt"), snapshotAt.toMSecsSinceEpoch() },
        { QStringLiteral("textBytes"), body.size() },
        { QStringLiteral("blake2b"), QString::fromLatin1(checksum(body)) },
    };
    if (file)
        header.insert(QStringLiteral("file"), file->toString(QUrl::FullyEncoded));
    if (fileStamp) {
        // Strings: JSON numbers are doubles, which would round nanoseconds and inodes.
        header.insert(QStringLiteral("fileSize"), QString::number(fileStamp->size));
        header.insert(QStringLiteral("fileModifiedNs"), QString::number(fileStamp->modifiedNs));
        header.insert(QStringLiteral("fileInode"), QString::number(fileStamp->inode));
        header.insert(QStringLiteral("fileDevice"), QString::number(fileStamp->device));
    }
    return QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + body;
}

std::optional<JournalEntry> JournalEntry::decode(const QByteArray &bytes)
{
    const qsizetype newline = bytes.indexOf('\n');
    if (newline < 0)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.first(newline));
    const QJsonObject header = document.object();
    const QByteArray body = bytes.sliced(newline + 1);
    if (!document.isObject() || header.value(QStringLiteral("version")).toInt() != formatVersion
        || header.value(QStringLiteral("textBytes")).toInteger(-1) != body.size()
        || header.value(QStringLiteral("blake2b")).toString().toLatin1() != checksum(body))
        return std::nullopt;

    JournalEntry entry;
    entry.tabId = QUuid::fromString(header.value(QStringLiteral("tab")).toString());
    entry.order = header.value(QStringLiteral("order")).toInt();
    entry.wasActive = header.value(QStringLiteral("active")).toBool();
    entry.title = header.value(QStringLiteral("title")).toString();
    entry.snapshotAt
        = QDateTime::fromMSecsSinceEpoch(header.value(QStringLiteral("snapshotAt")).toInteger());
    entry.text = QString::fromUtf8(body);
    if (header.contains(QStringLiteral("file"))) {
        const QUrl url(header.value(QStringLiteral("file")).toString(), QUrl::StrictMode);
        if (!url.isLocalFile())
            return std::nullopt;
        entry.file = url;
    }
    if (header.contains(QStringLiteral("fileSize"))) {
        const auto number = [&header](const char *key) {
            return header.value(QLatin1String(key)).toString().toULongLong();
        };
        entry.fileStamp = FileStamp { qint64(number("fileSize")), qint64(number("fileModifiedNs")),
            number("fileInode"), number("fileDevice") };
    }
    return entry;
}

bool JournalEntry::sameNoteAs(const JournalEntry &other) const
{
    return tabId == other.tabId && order == other.order && wasActive == other.wasActive
        && title == other.title && file == other.file && fileStamp == other.fileStamp
        && text == other.text;
}
