#include "whitespace.h"

namespace Whitespace {

namespace {

QString trimmedOf(const QString &text, bool (*isTrimmed)(QChar))
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmed(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

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
    return trimmedOf(text, isWhitespaceOrNewline);
}

bool isNewline(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x000A && u <= 0x000D) || u == 0x0085 || u == 0x2028 || u == 0x2029;
}

QString trimmedOfNewlines(const QString &text)
{
    return trimmedOf(text, isNewline);
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
