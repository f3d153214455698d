#pragma once

#include <QObject>

// The window's two persisted preferences, the dark appearance and the interface zoom. Each is
// read from and written to the settings store on every access; a write announces itself so
// every view that shows the preference follows at once.
class AppPreferences : public QObject
{
    Q_OBJECT

public:
    static AppPreferences &shared();

    explicit AppPreferences(QObject *parent = nullptr);

    // True when never stored: dark is the default.
    bool isDarkMode() const;
    void setDarkMode(bool dark);

    // 1.0 when never stored. Returned as stored, whatever it is.
    double uiScale() const;
    void setUiScale(double scale);

Q_SIGNALS:
    void darkModeChanged(bool dark);
    void uiScaleChanged(double scale);
};
