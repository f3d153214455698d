#include "benchreport.h"

#include <algorithm>
#include <cstdio>

double BenchReport::median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void BenchReport::add(const BenchMeasure &measure)
{
    const auto statistic = [&measure](const std::vector<double> &values) {
        if (measure.statistic == BenchMeasure::Statistic::Worst)
            return values.empty() ? 0.0 : *std::max_element(values.cbegin(), values.cend());
        return median(values);
    };
    const int decimals = measure.unit == u"ms" ? 3 : 0;
    const double ours = statistic(measure.wispen);
    const double plain = statistic(measure.plain);
    const double ratio = plain > 0 ? ours / plain : 0;
    QString line = QStringLiteral("BENCH %1 wispen_%2=%3 plain_%2=%4 ratio=%5")
                       .arg(measure.name, measure.unit)
                       .arg(ours, 0, 'f', decimals)
                       .arg(plain, 0, 'f', decimals)
                       .arg(ratio, 0, 'f', 3);
    if (!measure.rich.empty())
        line += QStringLiteral(" rich_%1=%2")
                    .arg(measure.unit)
                    .arg(statistic(measure.rich), 0, 'f', decimals);
    const auto check = [&](const QString &what, double value, double budget) {
        ++m_budgeted;
        const bool within = value <= budget;
        m_withinBudget += within;
        line += QStringLiteral(" %1=%2 %3").arg(what).arg(budget).arg(within ? u"ok" : u"OVER");
    };
    if (measure.ratioBudget)
        check(QStringLiteral("ratio_budget"), ratio, *measure.ratioBudget);
    if (measure.limit)
        check(QStringLiteral("limit_") + measure.unit, ours, *measure.limit);
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void BenchReport::addNote(const QString &line)
{
    std::printf("BENCH %s\n", qPrintable(line));
    std::fflush(stdout);
}

bool BenchReport::finish()
{
    std::printf("BENCH summary: %d of %d within budget\n", m_withinBudget, m_budgeted);
    std::fflush(stdout);
    return m_withinBudget == m_budgeted;
}
