#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// How a note that has no file of its own is named on disk.
namespace NoteNaming {

// The pattern of the date name; ASCII digits whatever the locale.
inline constexpr QStringView datePattern = u"yyyy-MM-dd_HH-mm";

// The tab's title made safe for a file name: whitespace as plain spaces, no control or
// bidirectional control characters, "-" for "/" and ":", and no leading dot to hide the file.
// The date name when no usable title is left (absent, blank, exactly "Untitled", or a first
// character too long for a file name), so a name is never empty.
QString baseName(const std::optional<QString> &preferredTitle, const QDateTime &now);

QString dateName(const QDateTime &now);

// "Base.txt" for copy 1, "Base 2.txt" for copy 2 and so on, with the base cut at a character
// boundary so that the whole name stays within the file system's 255 bytes of UTF-8.
QString fileName(const QString &baseName, int copyNumber);

} // namespace NoteNaming
