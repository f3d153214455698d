#pragma once

#include <QString>
#include <optional>
#include <vector>

// Collects the benchmark's measures and prints them, one line each, with a closing summary of
// the budgets: "BENCH <name> wispen_ms=<median> bare_ms=<median> ratio=<wispen/bare>".
class BenchReport
{
public:
    static double median(std::vector<double> values);

    // Prints one measure; a budget is the largest ratio of Wispen to the bare editor allowed.
    void add(const QString &name, const std::vector<double> &wispen,
        const std::vector<double> &bare, std::optional<double> budget,
        const QString &unit = QStringLiteral("ms"));
    void addNote(const QString &line);
    // Prints the summary; true when every budget was met.
    bool finish();

private:
    int m_budgeted = 0;
    int m_withinBudget = 0;
};
