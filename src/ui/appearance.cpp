#include "appearance.h"

#include "colorscheme.h"

#include <QApplication>
#include <QStyleFactory>

namespace Appearance {

void apply(bool isDarkMode)
{
    static bool styled = false;
    if (!styled) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        styled = true;
    }
    const ColorScheme scheme = isDarkMode ? ColorScheme::darkScheme() : ColorScheme::lightScheme();
    QApplication::setPalette(scheme.palette());
}

} // namespace Appearance
