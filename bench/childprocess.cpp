#include "childprocess.h"

#include "app/launcher.h"
#include "session/textattributes.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace ChildProcess {

namespace {

const char childFlag[] = "--bench-child";
// Long enough for the window to settle after its first paint before memory is read.
constexpr int settleMs = 300;

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Reports once, after the window's first paint, and ends the process.
class FirstPaintReporter : public QObject
{
public:
    FirstPaintReporter(Measure measure, qint64 startedNs)
        : m_measure(measure)
        , m_startedNs(startedNs)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            const qint64 paintedNs = monotonicNs();
            // The rest of this paint pass runs first.
            const int delay = m_measure == Measure::Startup ? 0 : settleMs;
            QTimer::singleShot(delay, qApp, [this, paintedNs] { report(paintedNs); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report(qint64 paintedNs)
    {
        const double value = m_measure == Measure::Startup ? (paintedNs - m_startedNs) / 1e6
                                                           : double(peakResidentKiB());
        std::printf("VALUE %.3f\n", value);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    Measure m_measure;
    qint64 m_startedNs;
    bool m_seen = false;
};

template<typename Edit>
int runBare(int &argc, char **argv, Measure measure, qint64 startedNs, const char *notePath)
{
    QApplication app(argc, argv);
    FirstPaintReporter reporter(measure, startedNs);
    QMainWindow window;
    auto *edit = new Edit(&window);
    edit->setFont(TextDefaults::font());
    window.setCentralWidget(edit);
    if (notePath && *notePath) {
        QFile file(QString::fromLocal8Bit(notePath));
        if (file.open(QIODevice::ReadOnly))
            edit->setPlainText(QString::fromUtf8(file.readAll()));
    }
    window.resize(900, 650);
    window.show();
    return QApplication::exec();
}

} // namespace

std::optional<double> run(
    const QString &program, Kind kind, Measure measure, const QString &notePath)
{
    QProcess child;
    // The offscreen platform's complaints about window hints are noise here.
    child.setStandardErrorFile(QProcess::nullDevice());
    const QStringList arguments {
        QString::fromLatin1(childFlag),
        kind == Kind::Wispen     ? QStringLiteral("wispen")
            : kind == Kind::Rich ? QStringLiteral("rich")
                                 : QStringLiteral("plain"),
        measure == Measure::Startup ? QStringLiteral("startup") : QStringLiteral("memory"),
        QString::number(monotonicNs()),
        notePath,
    };
    child.start(program, arguments);
    if (!child.waitForFinished(600'000) || child.exitCode() != 0)
        return std::nullopt;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("VALUE "))
            return line.mid(6).toDouble();
    }
    return std::nullopt;
}

bool runIfChild(int &argc, char **argv, int &exitCode)
{
    if (argc < 6 || std::strcmp(argv[1], childFlag) != 0)
        return false;
    const bool wispen = std::strcmp(argv[2], "wispen") == 0;
    const bool rich = std::strcmp(argv[2], "rich") == 0;
    const Measure measure
        = std::strcmp(argv[3], "startup") == 0 ? Measure::Startup : Measure::PeakMemory;
    const qint64 startedNs = std::strtoll(argv[4], nullptr, 10);
    const char *notePath = argv[5];
    if (!wispen) {
        exitCode = rich ? runBare<QTextEdit>(argc, argv, measure, startedNs, notePath)
                        : runBare<QPlainTextEdit>(argc, argv, measure, startedNs, notePath);
        return true;
    }
    // The real start-up, given the note as a person's launch would be; the reporter is made
    // as soon as the application object exists.
    std::unique_ptr<FirstPaintReporter> reporter;
    int childArgc = *notePath ? 2 : 1;
    char *childArgv[] = { argv[0], const_cast<char *>(notePath), nullptr };
    exitCode = Launcher::run(childArgc, childArgv,
        [&](QWidget *) { reporter = std::make_unique<FirstPaintReporter>(measure, startedNs); });
    return true;
}

} // namespace ChildProcess
