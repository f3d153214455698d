#include "writefaults.h"

namespace WriteFaults {

namespace {
std::function<bool(const QString &)> &currentRule()
{
    static std::function<bool(const QString &)> rule;
    return rule;
}
} // namespace

void setRule(std::function<bool(const QString &)> rule)
{
    currentRule() = std::move(rule);
}

bool refuses(const QString &path)
{
    return currentRule() && currentRule()(path);
}

} // namespace WriteFaults
