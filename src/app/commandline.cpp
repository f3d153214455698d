#include "commandline.h"

#include <QDir>
#include <QRegularExpression>

namespace CommandLine {

namespace {

bool looksLikeUrl(const QString &argument)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return argument.startsWith(QLatin1String("file:")) || scheme.match(argument).hasMatch();
}

QUrl fromPath(const QString &path, const QString &workingDirectory)
{
    return QUrl::fromLocalFile(QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(path)));
}

} // namespace

QList<QUrl> fileUrls(const QStringList &arguments, const QString &workingDirectory)
{
    QList<QUrl> urls;
    bool onlyPaths = false;
    for (const QString &argument : arguments) {
        if (argument.isEmpty())
            continue;
        if (!onlyPaths && argument == u"--") {
            onlyPaths = true;
        } else if (!onlyPaths && looksLikeUrl(argument)) {
            const QUrl url(argument);
            if (url.isLocalFile())
                urls.append(fromPath(url.toLocalFile(), workingDirectory));
        } else {
            urls.append(fromPath(argument, workingDirectory));
        }
    }
    return urls;
}

} // namespace CommandLine
