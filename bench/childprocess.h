#pragma once

#include <QString>
#include <optional>

// Whole-process measures: the benchmark starts itself again as a child that runs either the
// real Wispen start-up or a bare window with a QTextEdit or a QPlainTextEdit, and reports one
// number.
namespace ChildProcess {

enum class Kind { Wispen, Rich, Plain };
enum class Measure { Startup, PeakMemory };

// The parent: start a child and read its number (milliseconds to the first painted window,
// or the peak resident memory in KiB). Nothing when the child failed.
std::optional<double> run(
    const QString &program, Kind kind, Measure measure, const QString &notePath);

// The child: true when argv asks for a child run; then runs it and sets exitCode.
bool runIfChild(int &argc, char **argv, int &exitCode);

} // namespace ChildProcess
