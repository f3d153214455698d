#pragma once

#include <QString>

class QMimeData;

// The rules for text that leaves or enters the editor through the clipboard or a drop.
namespace ClipboardText {

// Every CR LF, LF and CR turned into one space, so that the text pastes as one line.
QString flattened(const QString &text);

// Whether the data names files on this machine, which are for the window to open, not to be
// inserted as text.
bool holdsLocalFiles(const QMimeData *data);

} // namespace ClipboardText
