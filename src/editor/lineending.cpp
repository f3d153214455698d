#include "lineending.h"

namespace LineEndings {

LineEnding detect(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n')
            return LineEnding::LF;
        if (text.at(i) == u'\r')
            return i + 1 < text.size() && text.at(i + 1) == u'\n' ? LineEnding::CRLF
                                                                  : LineEnding::CR;
    }
    return LineEnding::LF;
}

QString toDocument(const QString &text)
{
    if (!text.contains(u'\r'))
        return text;
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

QString fromDocument(const QString &text, LineEnding style)
{
    switch (style) {
    case LineEnding::LF:
        return text;
    case LineEnding::CRLF: {
        QString result = text;
        return result.replace(u'\n', QStringLiteral("\r\n"));
    }
    case LineEnding::CR: {
        QString result = text;
        return result.replace(u'\n', u'\r');
    }
    }
    return text;
}

} // namespace LineEndings
