#pragma once

#include "uistyle.h"

#include <QWidget>

// A one-line label drawn in one of the palette's foreground levels. Narrower than its text, it
// cuts the text at its end with an ellipsis rather than wrapping it.
class TextLabel : public QWidget
{
    Q_OBJECT

public:
    explicit TextLabel(const QString &text = {}, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    UiStyle::Level level() const { return m_level; }
    void setLevel(UiStyle::Level level);
    // The text as drawn at the current width.
    QString displayedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_text;
    UiStyle::Level m_level = UiStyle::Level::Primary;
};
