#include "clipboardtext.h"

#include <QMimeData>
#include <QUrl>

namespace ClipboardText {

QString flattened(const QString &text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    result.replace(u'\n', u' ');
    result.replace(u'\r', u' ');
    return result;
}

bool holdsLocalFiles(const QMimeData *data)
{
    if (!data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(
        urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); });
}

} // namespace ClipboardText
