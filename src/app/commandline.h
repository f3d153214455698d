#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// The files a launch is asked to open: the desktop entry hands them over as arguments.
namespace CommandLine {

// Every argument as a local file url, made absolute against workingDirectory. "file:" urls
// are taken as the files they name, other urls are dropped, and everything after "--" is a
// path even when it looks like something else.
QList<QUrl> fileUrls(const QStringList &arguments, const QString &workingDirectory);

} // namespace CommandLine
