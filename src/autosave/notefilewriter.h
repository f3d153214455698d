#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

// Writes note files without ever losing one: atomically, durably, and never over a different
// note.
namespace NoteFileWriter {

// Replace the file at path with bytes, atomically: the bytes are flushed to the disk before
// they take the name, and the folder's entry after. A symbolic link stays a link and the
// target keeps its permissions; a new file gets permissions when they are given. Where the
// folder admits no new file, the file is written in place instead. Returns whether the bytes
// are on disk.
bool writeAtomically(const QString &path, const QByteArray &bytes,
    std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// True when path is a readable file holding exactly bytes.
bool holdsExactly(const QString &path, const QByteArray &bytes);

// Put bytes into a new file named after baseName in folder, which is made when missing.
// An existing file of the chosen name is never replaced: one that already holds bytes is
// taken as the note's file, any other moves the name on to "Base 2.txt", "Base 3.txt", ...
// Returns the file that holds the note, or nothing when it could not be written.
std::optional<QString> writeNewFile(const QString &folder, const QString &baseName,
    const QByteArray &bytes, std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// Makes folder, and any missing parents, and leaves it readable by its owner alone.
bool makePrivateFolder(const QString &folder);

// Read and write for the owner alone: for journal entries and copies kept aside.
inline constexpr QFileDevice::Permissions ownerOnly
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace NoteFileWriter
