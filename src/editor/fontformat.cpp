#include "fontformat.h"

#include <QTextDocument>

namespace FontFormat {

bool namesAFont(const QTextCharFormat &format)
{
    return format.hasProperty(QTextFormat::FontFamilies)
        || format.hasProperty(QTextFormat::FontPointSize)
        || format.hasProperty(QTextFormat::FontWeight)
        || format.hasProperty(QTextFormat::FontItalic);
}

QFont resolved(const QTextCharFormat &format, const QTextDocument *document)
{
    return format.font().resolve(document->defaultFont());
}

QTextCharFormat fontOnly(const QFont &font)
{
    QTextCharFormat format;
    format.setFontFamilies(font.families());
    format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.weight());
    format.setFontItalic(font.italic());
    return format;
}

bool isUnderlined(const QTextCharFormat &format)
{
    if (format.hasProperty(QTextFormat::TextUnderlineStyle))
        return format.underlineStyle() != QTextCharFormat::NoUnderline;
    return format.boolProperty(QTextFormat::FontUnderline);
}

} // namespace FontFormat
