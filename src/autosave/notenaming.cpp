#include "notenaming.h"

#include "autosave/whitespace.h"

#include <QTextBoundaryFinder>
#include <limits>

namespace NoteNaming {

namespace {

constexpr qsizetype maxFileNameBytes = 255;
const QString extension = QStringLiteral(".txt");

// The longest prefix of text, ending on a grapheme boundary, whose UTF-8 fits in maxBytes.
QString cutToBytes(const QString &text, qsizetype maxBytes)
{
    if (text.toUtf8().size() <= maxBytes)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype fitting = 0;
    for (qsizetype pos = finder.toNextBoundary(); pos > 0; pos = finder.toNextBoundary()) {
        if (QStringView(text).first(pos).toUtf8().size() > maxBytes)
            break;
        fitting = pos;
    }
    return text.first(fitting);
}

bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E)
        || (u >= 0x2066 && u <= 0x2069);
}

// The title with nothing a file name must not hold: whitespace becomes a plain space, control
// characters and bidirectional controls go, "/" and ":" become "-", and the leading dots that
// would hide the file go.
QString cleaned(const QString &title)
{
    QString name;
    name.reserve(title.size());
    for (const QChar c : title) {
        if (Whitespace::isWhitespaceOrNewline(c))
            name += u' ';
        else if (c == u'/' || c == u':')
            name += u'-';
        else if (c.category() != QChar::Other_Control && !isBidiControl(c))
            name += c;
    }
    qsizetype begin = 0;
    while (begin < name.size() && (name.at(begin) == u'.' || name.at(begin) == u' '))
        ++begin;
    return Whitespace::trimmed(name.sliced(begin));
}

// Whether fileName() keeps some of name beside any copy's suffix: a title that is one long
// grapheme would leave nothing but the suffix.
bool survivesCutting(const QString &name)
{
    const QString longestSuffix
        = QStringLiteral(" %1").arg(std::numeric_limits<int>::max()) + extension;
    return !cutToBytes(name, maxFileNameBytes - longestSuffix.toUtf8().size()).isEmpty();
}

} // namespace

QString dateName(const QDateTime &now)
{
    return now.toString(datePattern);
}

QString baseName(const std::optional<QString> &preferredTitle, const QDateTime &now)
{
    if (preferredTitle) {
        const QString name = cleaned(*preferredTitle);
        if (!name.isEmpty() && name != u"Untitled" && survivesCutting(name))
            return name;
    }
    return dateName(now);
}

QString fileName(const QString &baseName, int copyNumber)
{
    const QString suffix
        = (copyNumber > 1 ? QStringLiteral(" %1").arg(copyNumber) : QString()) + extension;
    return cutToBytes(baseName, maxFileNameBytes - suffix.toUtf8().size()) + suffix;
}

} // namespace NoteNaming
