#include "journallog.h"

#include "session/notetext.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QtEndian>

namespace JournalLog {

namespace {

constexpr qsizetype lengthBytes = 4;
constexpr qsizetype checkBytes = 8;
constexpr char detailsKind = 'D';
constexpr char editKind = 'E';

QByteArray check(QByteArrayView framedLength, QByteArrayView payload)
{
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    hash.addData(framedLength);
    hash.addData(payload);
    return hash.result().first(checkBytes);
}

QByteArray framed(const QByteArray &payload)
{
    QByteArray length(lengthBytes, '\0');
    qToLittleEndian(quint32(payload.size()), length.data());
    return length + check(length, payload) + payload;
}

void appendNumber(QByteArray &bytes, qint64 number)
{
    char little[sizeof number];
    qToLittleEndian(number, little);
    bytes.append(little, sizeof number);
}

qint64 numberAt(QByteArrayView bytes, qsizetype offset)
{
    return qFromLittleEndian<qint64>(bytes.data() + offset);
}

// Applies one record's payload; false when it does not fit the text as it stands.
bool apply(QByteArrayView payload, JournalEntry &entry, NoteText &text)
{
    if (payload.isEmpty())
        return false;
    if (payload.front() == detailsKind) {
        const QJsonDocument document = QJsonDocument::fromJson(payload.sliced(1).toByteArray());
        JournalEntry details = entry;
        if (!document.isObject() || !details.takeDetails(document.object())
            || details.tabId != entry.tabId)
            return false;
        entry = std::move(details);
        return true;
    }
    constexpr qsizetype numbers = 1 + 3 * sizeof(qint64);
    if (payload.front() != editKind || payload.size() < numbers || (payload.size() - numbers) % 2)
        return false;
    const qint64 position = numberAt(payload, 1);
    const qint64 removed = numberAt(payload, 9);
    const qint64 lengthAfter = numberAt(payload, 17);
    const QByteArrayView added = payload.sliced(numbers);
    if (position < 0 || removed < 0 || position > text.size() || removed > text.size() - position
        || lengthAfter != text.size() - removed + added.size() / 2)
        return false;
    QString inserted(added.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(added.data(), inserted.size(), inserted.data());
    text.replace(position, removed, inserted);
    return true;
}

} // namespace

QString fileName(const QString &stem, qint64 generation)
{
    return stem + u'.' + QString::number(generation) + QStringLiteral(".log");
}

std::optional<std::pair<QString, qint64>> parseFileName(const QString &name)
{
    const QStringList parts = name.split(u'.');
    bool isNumber = false;
    const qint64 generation = parts.size() == 3 ? parts.at(1).toLongLong(&isNumber) : 0;
    if (!isNumber || parts.at(2) != u"log" || parts.at(0).isEmpty())
        return std::nullopt;
    return std::pair(parts.at(0), generation);
}

QByteArray detailsRecord(const JournalEntry &entry)
{
    return framed(detailsKind + QJsonDocument(entry.details()).toJson(QJsonDocument::Compact));
}

QByteArray editRecord(
    qsizetype position, qsizetype removed, QStringView added, qsizetype lengthAfter)
{
    QByteArray payload(1, editKind);
    payload.reserve(1 + 3 * sizeof(qint64) + added.size() * 2);
    appendNumber(payload, position);
    appendNumber(payload, removed);
    appendNumber(payload, lengthAfter);
    const qsizetype start = payload.size();
    payload.resize(start + added.size() * 2);
    qToLittleEndian<char16_t>(added.utf16(), added.size(), payload.data() + start);
    return framed(payload);
}

Replayed replay(const QByteArray &log, JournalEntry &entry)
{
    Replayed replayed;
    NoteText text(entry.text);
    qsizetype offset = 0;
    while (offset < log.size()) {
        const QByteArrayView rest = QByteArrayView(log).sliced(offset);
        if (rest.size() < lengthBytes + checkBytes) {
            replayed.isWhole = false;
            break;
        }
        const qsizetype length = qFromLittleEndian<quint32>(rest.data());
        if (length > rest.size() - lengthBytes - checkBytes) {
            replayed.isWhole = false;
            break;
        }
        const QByteArrayView payload = rest.sliced(lengthBytes + checkBytes, length);
        if (rest.sliced(lengthBytes, checkBytes) != check(rest.first(lengthBytes), payload)
            || !apply(payload, entry, text)) {
            replayed.isWhole = false;
            break;
        }
        ++replayed.records;
        offset += lengthBytes + checkBytes + length;
    }
    entry.text = text.toString();
    return replayed;
}

} // namespace JournalLog
