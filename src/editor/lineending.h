#pragma once

#include <QString>

// A note's line-ending style. Qt's document keeps one kind of break only, so the style a note
// arrived with is remembered beside the document and given back to the text read out of it.
enum class LineEnding { LF, CRLF, CR };

namespace LineEndings {

// The style of the first line break in text; LF when there is none.
LineEnding detect(const QString &text);

// Every CR LF and lone CR turned into LF, as the document will hold it.
QString toDocument(const QString &text);

// Every LF of text in document form written in the given style.
QString fromDocument(const QString &text, LineEnding style);

} // namespace LineEndings
