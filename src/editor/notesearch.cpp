#include "notesearch.h"

namespace NoteSearch {

namespace {
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}
} // namespace

QList<Match> findAll(const QString &text, const QString &needle, const Options &options)
{
    QList<Match> matches;
    if (needle.isEmpty())
        return matches;
    const Qt::CaseSensitivity sensitivity
        = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int length = int(needle.size());
    for (qsizetype at = text.indexOf(needle, 0, sensitivity); at >= 0;
         at = text.indexOf(needle, at, sensitivity)) {
        const qsizetype end = at + length;
        const bool isWhole = (at == 0 || !isWordCharacter(text.at(at - 1)))
            && (end == text.size() || !isWordCharacter(text.at(end)));
        if (options.wholeWords && !isWhole) {
            ++at;
            continue;
        }
        matches.append({ int(at), length });
        at = end;
    }
    return matches;
}

} // namespace NoteSearch
