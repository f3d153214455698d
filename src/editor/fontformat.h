#pragma once

#include <QFont>
#include <QTextCharFormat>

class QTextDocument;

// Reading and writing the font of a character format, which Qt spreads over several
// properties that may each be missing.
namespace FontFormat {

// Whether the format says anything about its font; a bare format just shows the default.
bool namesAFont(const QTextCharFormat &format);

// The font the format shows in the document, its gaps filled from the document's font.
QFont resolved(const QTextCharFormat &format, const QTextDocument *document);

// A format that sets family, size, weight and slant to those of font and nothing else.
QTextCharFormat fontOnly(const QFont &font);

bool isUnderlined(const QTextCharFormat &format);

} // namespace FontFormat
