#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// What a launch is asked on its command line: the files the desktop entry hands over, or a
// question such as --help that is answered on the terminal.
namespace CommandLine {

// Every argument as a local file url, made absolute against workingDirectory. "file:" urls
// are taken as the files they name, other urls are dropped, and everything after "--" is a
// path even when it looks like something else.
QList<QUrl> fileUrls(const QStringList &arguments, const QString &workingDirectory);

// Answers --help and --version on standard output and an unknown option on standard error,
// before any window or display is needed. Returns the exit status when the launch ends there,
// nothing when it goes on to open its files. Qt's own options such as -platform are let
// through for QApplication.
std::optional<int> answerOnTerminal(int &argc, char **argv);

} // namespace CommandLine
