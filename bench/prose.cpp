#include "prose.h"

#include <array>

namespace Prose {

namespace {

constexpr std::array words {
    "the",
    "note",
    "quiet",
    "river",
    "paper",
    "window",
    "morning",
    "list",
    "of",
    "small",
    "things",
    "to",
    "do",
    "before",
    "noon",
    "and",
    "a",
    "walk",
    "under",
    "grey",
    "clouds",
    "with",
    "coffee",
    "pencil",
    "letters",
    "garden",
    "bread",
    "write",
    "later",
    "again",
    "soon",
    "light",
    "evening",
    "table",
    "maybe",
    "call",
};
constexpr int lineLength = 78;
constexpr int checklistEvery = 50;
// Early enough that a note of a kilobyte holds one item too.
constexpr int checklistFirst = 5;

} // namespace

QString generate(qsizetype utf8Bytes)
{
    QString text;
    text.reserve(utf8Bytes);
    quint32 state = 12345;
    qsizetype line = 0;
    qsizetype lineStart = 0;
    while (text.size() < utf8Bytes) {
        if (text.size() == lineStart && line % checklistEvery == checklistFirst)
            text += line % (2 * checklistEvery) < checklistEvery ? u"☐ " : u"☑ ";
        state = state * 1664525u + 1013904223u;
        text += QLatin1String(words[(state >> 16) % words.size()]);
        if (text.size() - lineStart >= lineLength) {
            text += u'\n';
            lineStart = text.size();
            ++line;
        } else {
            text += u' ';
        }
    }
    return text;
}

} // namespace Prose
