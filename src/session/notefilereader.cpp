#include "notefilereader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
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
    // Every CR and LF counts: a CR LF as two lines errs on the side of caution.
    const qint64 lines = std::count_if(
        bytes.cbegin(), bytes.cend(), [](char c) { return c == '\n' || c == '\r'; });
    if (lines > maximumLines())
        return Content { QString(), false, false, true };
    return decode(bytes);
}

qint64 maximumSize()
{
    constexpr qint64 ceiling = qint64(1) << 30;
    // Measured: a note opened costs the process at most about six and a half times its size
    // (its bytes, its text, the document and the tab's copy), and the other tabs, the undo
    // history and the journal need room beside it.
    constexpr qint64 memoryShare = 12;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return ceiling;
    return std::min(ceiling, qint64(pages) * pageSize / memoryShare);
}

qint64 maximumLines()
{
    // At most a few hundred bytes a block, and heights of up to 64 pixels a line within the
    // layout's billion pixels.
    return qint64(16) << 20;
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
