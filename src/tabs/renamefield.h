#pragma once

#include <QLineEdit>

// The plain text field that takes a tab title's place while the tab is renamed.
class RenameField : public QLineEdit
{
    Q_OBJECT

public:
    explicit RenameField(const QString &draft, QWidget *parent = nullptr);

Q_SIGNALS:
    void focusChanged(bool focused);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
