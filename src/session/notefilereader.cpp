#include "notefilereader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <unistd.h>

namespace NoteFileReader {

std::optional<Content> read(const QUrl &url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    const QString path = url.toLocalFile();
    // Only regular files: a pipe or a device would block the window or never end.
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    if (info.size() > maximumSize())
        return Content { QString(), false, true };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decode(bytes);
}

qint64 maximumSize()
{
    constexpr qint64 ceiling = qint64(256) << 20;
    // Measured: a note takes about sixteen times its size once it is shown and laid out, and
    // the other tabs, the undo history and the journal need room beside it.
    constexpr qint64 memoryShare = 32;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return ceiling;
    return std::min(ceiling, qint64(pages) * pageSize / memoryShare);
}

Content decode(const QByteArray &bytes)
{
    // Stateless: a sequence cut off at the end is an error, not something to wait for.
    // ConvertInitialBom: the decoder would otherwise drop a leading byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8,
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return Content { QString(), false };
    return Content { std::move(text), true };
}

} // namespace NoteFileReader
