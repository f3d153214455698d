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

void BenchReport::add(const QString &name, const std::vector<double> &wispen,
    const std::vector<double> &bare, std::optional<double> budget, const QString &unit)
{
    const double ours = median(wispen);
    const double theirs = median(bare);
    const double ratio = theirs > 0 ? ours / theirs : 0;
    QString line = QStringLiteral("BENCH %1 wispen_%2=%3 bare_%2=%4 ratio=%5")
                       .arg(name, unit)
                       .arg(ours, 0, 'f', unit == u"ms" ? 3 : 0)
                       .arg(theirs, 0, 'f', unit == u"ms" ? 3 : 0)
                       .arg(ratio, 0, 'f', 3);
    if (budget) {
        ++m_budgeted;
        const bool within = ratio <= *budget;
        m_withinBudget += within;
        line += QStringLiteral(" budget=%1 %2").arg(*budget).arg(within ? u"ok" : u"OVER");
    }
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
