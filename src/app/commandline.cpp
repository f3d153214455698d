#include "commandline.h"

#include "wispenversion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <cstdio>
#include <utility>

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

struct QtOption
{
    const char *name;
    const char *valueName; // nullptr for a flag
    const char *description;
};

// The options QGuiApplication, its platform plugin and QApplication take for themselves and
// remove before the files are read; only --help-all shows them, as in other Qt programs.
constexpr QtOption qtOptions[] = {
    { "platform", "name[:options]", "Platform plugin to use, such as xcb, wayland or offscreen." },
    { "platformpluginpath", "path", "Folder to load platform plugins from." },
    { "platformtheme", "theme", "Platform theme to use." },
    { "plugin", "plugin", "Additional input plugin to load." },
    { "qwindowgeometry", "geometry", "Size and position of the window, as WxH+X+Y." },
    { "qwindowicon", "icon", "Icon of the window." },
    { "qwindowtitle", "title", "Title of the window." },
    { "session", "session", "Session to restore." },
    { "display", "display", "X11 display to use." },
    { "geometry", "geometry", "Size and position of the window on X11." },
    { "style", "style", "Widget style to use, such as Fusion." },
    { "stylesheet", "file", "Style sheet to apply." },
    { "reverse", nullptr, "Lays the window out from right to left." },
    { "widgetcount", nullptr, "Prints how many widgets are left at exit." },
};

enum class QtOptions { Hidden, Shown };

// Registers what Wispen understands; returns the help and version options.
std::pair<QCommandLineOption, QCommandLineOption> describe(QCommandLineParser &parser, QtOptions qt)
{
    parser.setApplicationDescription(
        QStringLiteral("A scratchpad for rich-text notes that save themselves."));
    // Qt's own options are written with one dash: -platform, -style.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
        QStringLiteral("Text files to open, each in a tab of its own."),
        QStringLiteral("[files...]"));
    for (const QtOption &known : qtOptions) {
        QCommandLineOption option(QString::fromLatin1(known.name),
            QString::fromLatin1(known.description), QString::fromLatin1(known.valueName));
        if (qt == QtOptions::Hidden)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    return { help, version };
}

QStringList fromArgv(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int refuse(const QCommandLineParser &parser)
{
    print(stderr,
        QStringLiteral("%1: %2\nTry '%3 --help' for more information.\n")
            .arg(QCoreApplication::applicationName(), parser.errorText(),
                QCoreApplication::arguments().constFirst()));
    return 1;
}

void printHelpWithQtOptions()
{
    QCommandLineParser parser;
    describe(parser, QtOptions::Shown);
    print(stdout, parser.helpText());
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

std::optional<int> answerOnTerminal(int &argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Wispen"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WISPEN_VERSION));
    QCommandLineParser parser;
    const auto [help, version] = describe(parser, QtOptions::Hidden);
    const bool understood = parser.parse(fromArgv(argc, argv));
    const bool helpAll = understood && parser.isSet(QStringLiteral("help-all"));
    if (understood && !parser.isSet(help) && !helpAll && !parser.isSet(version))
        return std::nullopt;

    // Only an answer on the terminal needs an application object: it names the program.
    const QCoreApplication terminal(argc, argv);
    if (!understood)
        return refuse(parser);
    if (parser.isSet(version))
        print(stdout,
            QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion()
                + u'\n');
    else if (helpAll)
        printHelpWithQtOptions();
    else
        print(stdout, parser.helpText());
    return 0;
}

} // namespace CommandLine
