#include "whitespace.h"

namespace Whitespace {

bool isWhitespaceOrNewline(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u'\t' || (u >= 0x000A && u <= 0x000D) || u == 0x0085)
        return true;
    switch (c.category()) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhitespaceOrNewline(text.at(begin)))
        ++begin;
    while (end > begin && isWhitespaceOrNewline(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool isBlank(const QString &text)
{
    for (QChar c : text) {
        if (!isWhitespaceOrNewline(c))
            return false;
    }
    return true;
}

} // namespace Whitespace
