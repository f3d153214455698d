#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// How a note that has no file of its own is named on disk.
namespace NoteNaming {

// The pattern of the date name; ASCII digits whatever the locale.
inline constexpr QStringView datePattern = u"yyyy-MM-dd_HH-mm";

// The tab's title made safe for a file name, or the date name when there is no usable title
// (absent, blank, or exactly "Untitled").
QString baseName(const std::optional<QString> &preferredTitle, const QDateTime &now);

QString dateName(const QDateTime &now);

// "Base.txt" for copy 1, "Base 2.txt" for copy 2 and so on, with the base cut at a character
// boundary so that the whole name stays within the file system's 255 bytes of UTF-8.
QString fileName(const QString &baseName, int copyNumber);

} // namespace NoteNaming
