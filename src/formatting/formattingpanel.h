#pragma once

#include "formattingcommand.h"
#include "ui/deferredrefresh.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

class InfoPopover;
class LineBreakCheckBox;
class NoteSession;
class QVBoxLayout;
class SymbolButton;
class TextLabel;
class WispenTextView;

// The narrow strip of symbol buttons beside the editor. Every button runs one formatting command
// on the editor's text view and lights up from the session's formatting state; the strip also
// holds the copy line-break check box, the appearance switch and the info popover.
class FormattingPanel : public QWidget
{
    Q_OBJECT

public:
    FormattingPanel(NoteSession &session, WispenTextView *textView, QWidget *parent = nullptr);

    SymbolButton *button(FormattingCommand command) const { return m_buttons.value(command); }
    TextLabel *fontSizeLabel() const { return m_fontSizeLabel; }
    LineBreakCheckBox *lineBreakCheckBox() const { return m_lineBreakCheckBox; }
    SymbolButton *appearanceButton() const { return m_appearanceButton; }
    SymbolButton *infoButton() const { return m_infoButton; }
    // Where the keyboard enters the panel: its first button.
    QWidget *firstFocusable() const;
    bool isShowingInfo() const { return m_showingInfo; }
    InfoPopover *infoPopover() const { return m_infoPopover; }

    // The font size as the label shows it: its integer part, without a unit.
    static QString fontSizeText(double fontSize);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SymbolButton *toolButton(const QString &icon, bool active, std::function<void()> action);
    SymbolButton *formattingButton(const QString &icon, FormattingCommand command);
    QWidget *separator();
    void addRow(QWidget *row, int paddingAbove = 0, int paddingBelow = 0);
    void addGap(int height);
    void refresh();
    void refreshAppearance();
    void toggleAppearance();
    void setShowingInfo(bool showing);

    NoteSession &m_session;
    QPointer<WispenTextView> m_textView;
    DeferredRefresh m_deferredRefresh { this, [this] { refresh(); } };
    QVBoxLayout *m_layout = nullptr;
    bool m_isFirstRow = true;
    bool m_showingInfo = false;
    QHash<FormattingCommand, SymbolButton *> m_buttons;
    TextLabel *m_fontSizeLabel = nullptr;
    LineBreakCheckBox *m_lineBreakCheckBox = nullptr;
    SymbolButton *m_appearanceButton = nullptr;
    SymbolButton *m_infoButton = nullptr;
    InfoPopover *m_infoPopover = nullptr;
};
