#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

class TextLabel;

// The title inside one tab cell: a one-line label that tells a single click, which selects after
// a short wait, from a double click, which renames at once. It knows nothing of tabs: the cell
// hands it the text, whether its tab is selected and the two callbacks.
class TabTitleLabel
{
public:
    using Callback = std::function<void()>;
    class Coordinator;
    class TitleHitView;

    TabTitleLabel(const QString &title, bool isSelected, Callback onSelect, Callback onRename);

    // Once per label on screen, in this order; the caller owns both and drops them together.
    std::unique_ptr<Coordinator> makeCoordinator() const;
    TitleHitView *makeView(Coordinator &coordinator, QWidget *parent) const;
    // After every refresh of the tab bar: new text, style and callbacks on the same widgets.
    void updateView(Coordinator &coordinator) const;

private:
    QString m_title;
    bool m_isSelected = false;
    Callback m_onSelect;
    Callback m_onRename;
};

// Holds the label's latest callbacks and styles its text.
class TabTitleLabel::Coordinator : public QObject
{
public:
    void applyStyle(bool isSelected);

    QPointer<TextLabel> label; // owned by the hit view
    Callback onSelect;
    Callback onRename;
};

// Receives the presses on a title and holds its text as its only child.
class TabTitleLabel::TitleHitView : public QWidget
{
public:
    // Fixed, whatever the desktop's double-click interval is.
    static constexpr auto singleClickDelay = std::chrono::milliseconds(220);

    explicit TitleHitView(QWidget *parent = nullptr);
    ~TitleHitView() override;

    QPointer<Coordinator> coordinator;
    bool hasPendingSelect() const { return m_singleClickTimer.isActive(); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void runPendingSelect();

    // The pending select: a single press starts it, a second press or destruction stops it.
    QTimer m_singleClickTimer;
};
