#pragma once

#include <QString>

namespace Whitespace {

// True for the characters a note or a title is trimmed of: every Unicode space separator
// (category Z, which includes U+2028 and U+2029), tab, U+000A to U+000D and U+0085.
// QString::trimmed() uses a different set, so it must not stand in for this.
bool isWhitespaceOrNewline(QChar c);

// The string without those characters at either end; inner characters are kept.
QString trimmed(const QString &text);

// True for the newline characters: U+000A to U+000D, U+0085, U+2028 and U+2029.
bool isNewline(QChar c);

// The string without newline characters at either end; spaces are kept.
QString trimmedOfNewlines(const QString &text);

// True when nothing but those characters is left, so the note counts as blank.
bool isBlank(const QString &text);

} // namespace Whitespace
