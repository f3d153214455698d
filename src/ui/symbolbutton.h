#pragma once

#include "symbols.h"
#include "uistyle.h"

#include <QAbstractButton>

// A borderless button showing one symbol centred in a fixed square. An active button draws its
// symbol in the accent colour over a faint accent wash; an inactive one in a dimmed foreground.
class SymbolButton : public QAbstractButton
{
    Q_OBJECT

public:
    struct Look
    {
        int frame = 28;
        int glyphSize = 13; // the symbol's size as a font size, in pixels
        Symbols::Weight weight = Symbols::Weight::Regular;
        Symbols::Weight activeWeight = Symbols::Weight::Semibold;
        UiStyle::Level level = UiStyle::Level::Secondary;
    };

    SymbolButton(const QString &symbol, const Look &look, QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString &symbol);
    bool isActive() const { return m_isActive; }
    void setActive(bool active);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    Look m_look;
    bool m_isActive = false;
};
