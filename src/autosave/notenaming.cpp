#include "notenaming.h"

#include "autosave/whitespace.h"

#include <QTextBoundaryFinder>

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

} // namespace

QString dateName(const QDateTime &now)
{
    return now.toString(datePattern);
}

QString baseName(const std::optional<QString> &preferredTitle, const QDateTime &now)
{
    if (preferredTitle) {
        QString name = Whitespace::trimmed(*preferredTitle);
        name.replace(u'/', u'-');
        name.replace(u':', u'-');
        if (!name.isEmpty() && name != u"Untitled")
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
