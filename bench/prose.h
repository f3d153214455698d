#pragma once

#include <QString>

// Generated notes for the benchmarks: prose in lines of about 80 characters, the same on
// every run, with a checklist item every fiftieth line, the first on the sixth.
namespace Prose {

inline constexpr qsizetype oneMegabyte = 1024 * 1024;

QString generate(qsizetype utf8Bytes);

} // namespace Prose
