#pragma once

#include <QWidget>

// An invisible widget inside the main window whose one job is to give that window the app's
// chrome: the title "Wispen.", a visible title and no tool bar. It does so once, on the turn
// after it was made, when it surely sits in its window.
class WindowAccessor : public QWidget
{
    Q_OBJECT

public:
    explicit WindowAccessor(QWidget *parent = nullptr);

    int configurationCount() const { return m_configurationCount; }

private:
    void configureWindow();

    int m_configurationCount = 0;
};
