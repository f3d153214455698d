#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// Reads a note file whole, as UTF-8 and nothing else.
namespace NoteFileReader {

struct Content
{
    // The decoded text, a leading byte-order mark included so that the file round-trips;
    // empty when the bytes are not UTF-8.
    QString text;
    bool isUtf8 = true;
    // Not taken: larger than maximumSize().
    bool isTooLarge = false;
    // Not taken: more lines than maximumLines().
    bool hasTooManyLines = false;
};

// The largest file that is opened. The editor holds a note several times over (the file's
// text, the document, the tab's copy), so the limit is a fraction of the memory, with a
// ceiling.
qint64 maximumSize();

// The most lines a note may have: each costs the document a block, whatever its length, and
// the heights of all of them must add up within the layout's range.
qint64 maximumLines();

// The content of the regular file at url, or nothing when it cannot be read (not a local
// file, missing, a folder, a device or pipe that could block, no permission).
std::optional<Content> read(const QUrl &url);

// The decoding on its own: a strict UTF-8 check, where any invalid sequence fails the whole.
Content decode(const QByteArray &bytes);

} // namespace NoteFileReader
