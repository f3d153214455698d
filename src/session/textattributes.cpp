#include "textattributes.h"

#include <QGuiApplication>

namespace TextDefaults {

QFont font()
{
    QFont f;
    f.setFamilies(QGuiApplication::font().families());
    f.setPointSizeF(fontPointSize);
    return f;
}

} // namespace TextDefaults
