#pragma once

#include <QString>
#include <functional>

// A seam for tests: every note file and journal entry is written through NoteFileWriter, which
// asks here first. Permission bits stop nothing for root, so failures that must hold in any
// environment are injected at this point. Nothing is refused unless a test installs a rule.
namespace WriteFaults {

// rule(path) returns true when the write to path is to fail; an empty rule refuses nothing.
void setRule(std::function<bool(const QString &path)> rule);

bool refuses(const QString &path);

} // namespace WriteFaults
