#include "notefilereader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace NoteFileReader {

std::optional<Content> read(const QUrl &url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    const QString path = url.toLocalFile();
    // Only regular files: a pipe or a device would block the window or never end.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decode(bytes);
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
