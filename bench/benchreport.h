#pragma once

#include <QString>
#include <optional>
#include <vector>

// One measure of the benchmark: Wispen's samples beside a bare QPlainTextEdit's, and where
// known a bare QTextEdit's, with the budgets the measure must keep.
struct BenchMeasure
{
    enum class Statistic { Median, Worst };

    QString name;
    std::vector<double> wispen;
    std::vector<double> plain;
    std::vector<double> rich; // left empty where a bare QTextEdit would take too long
    std::optional<double> ratioBudget; // the largest Wispen / QPlainTextEdit allowed
    std::optional<double> limit; // the largest value of Wispen's own allowed
    Statistic statistic = Statistic::Median;
    QString unit = QStringLiteral("ms");
};

// Prints the measures one line each, with a closing summary of the budgets:
// "BENCH <name> wispen_ms=<median> plain_ms=<median> ratio=<wispen/plain> rich_ms=<median>".
class BenchReport
{
public:
    static double median(std::vector<double> values);

    void add(const BenchMeasure &measure);
    void addNote(const QString &line);
    // Prints the summary; true when every budget was met.
    bool finish();

private:
    int m_budgeted = 0;
    int m_withinBudget = 0;
};
