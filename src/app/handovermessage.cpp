#include "handovermessage.h"

#include <QDir>
#include <QtEndian>

namespace HandoverMessage {

QByteArray greeting()
{
    return QByteArrayLiteral("wispen\n");
}

QByteArray acknowledgement()
{
    return QByteArrayLiteral("ok\n");
}

QByteArray encode(const QList<QUrl> &files)
{
    QByteArray body;
    for (const QUrl &file : files) {
        // Percent-encoded, so a line break in a file name cannot split its line.
        const QByteArray line = file.toEncoded() + '\n';
        if (body.size() + line.size() > maxBodySize) {
            qWarning("Wispen: too many files to hand over; the last %lld are left out",
                qlonglong(files.size() - body.count('\n')));
            break;
        }
        body += line;
    }
    QByteArray message(headerSize, Qt::Uninitialized);
    qToBigEndian(quint32(body.size()), message.data());
    return message + body;
}

quint32 bodySize(const QByteArray &header)
{
    return qFromBigEndian<quint32>(header.constData());
}

QList<QUrl> decode(const QByteArray &body)
{
    QList<QUrl> files;
    const QList<QByteArray> lines = body.split('\n');
    for (const QByteArray &line : lines) {
        const QUrl file = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (file.isLocalFile() && QDir::isAbsolutePath(file.toLocalFile()))
            files.append(file);
    }
    return files;
}

} // namespace HandoverMessage
