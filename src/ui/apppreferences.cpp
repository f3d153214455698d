#include "apppreferences.h"

#include <QSettings>

namespace {
const QString darkModeKey = QStringLiteral("isDarkMode");
const QString uiScaleKey = QStringLiteral("uiScale");
constexpr double defaultScale = 1.0;
} // namespace

AppPreferences &AppPreferences::shared()
{
    static AppPreferences preferences;
    return preferences;
}

AppPreferences::AppPreferences(QObject *parent)
    : QObject(parent)
{
}

bool AppPreferences::isDarkMode() const
{
    return QSettings().value(darkModeKey, true).toBool();
}

void AppPreferences::setDarkMode(bool dark)
{
    QSettings().setValue(darkModeKey, dark);
    Q_EMIT darkModeChanged(dark);
}

double AppPreferences::uiScale() const
{
    bool ok = false;
    const double scale = QSettings().value(uiScaleKey, defaultScale).toDouble(&ok);
    return ok ? scale : defaultScale;
}

void AppPreferences::setUiScale(double scale)
{
    QSettings().setValue(uiScaleKey, scale);
    Q_EMIT uiScaleChanged(scale);
}
