#pragma once

#include "ui/deferredrefresh.h"

#include <QUuid>
#include <QWidget>
#include <optional>

class FindBar;
class FormattingPanel;
class NoteSession;
class RichTextEditor;
class SymbolButton;
class TabCell;
class TabStrip;

// The window's content: the tab bar across the top, the editor below it and the formatting
// panel along the editor's right edge. It owns the short-lived state of renaming a tab in place
// and otherwise shows the session, refreshing on the next turn after each change.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    explicit ContentView(NoteSession &session, QWidget *parent = nullptr);
    ~ContentView() override;

    // The commands that the tab bar's controls also run, for the menus.
    void addTab();
    void closeSelectedTab();
    // Selects the tab offset places from the selected one, wrapping around, like a title click.
    void selectTabAtOffset(int offset);
    // Moves the selected tab offset places along the row, stopping at its ends.
    void moveSelectedTab(int offset);
    void reopenClosedTab();
    // Find and replace in the note; the bar sits under the tab bar.
    void openFind(bool withReplace);
    void findNext();
    void findPrevious();
    // Moves the keyboard focus to the next or previous part of the window, wrapping around:
    // the tab bar, the find bar when it shows, the note, the formatting panel.
    void focusPane(int offset);

    std::optional<QUuid> renamingTabId() const { return m_renamingTabId; }
    QString renameDraft() const { return m_renameDraft; }
    bool isRenameFieldFocused() const { return m_renameFieldFocused; }

    TabCell *cell(const QUuid &id) const;
    SymbolButton *addButton() const { return m_addButton; }
    RichTextEditor *editor() const { return m_editor; }
    FormattingPanel *panel() const { return m_panel; }
    FindBar *findBar() const { return m_findBar; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeTabBar();
    void refresh();
    void finalizeRenameIfNeeded();
    void selectFromTitle(const QUuid &id);
    void beginRename(const QUuid &id);
    void closeFromButton(const QUuid &id);
    void setRenamingTabId(const std::optional<QUuid> &id);
    void focusRenameField();
    void revealSelectedTab();
    void showRenameField(TabCell *cell);

    NoteSession &m_session;
    DeferredRefresh m_deferredRefresh { this, [this] { refresh(); } };
    std::optional<QUuid> m_renamingTabId;
    QString m_renameDraft;
    // What the strip last showed: each tab's id and title, the selected tab, the renamed one.
    // Typing changes none of it, so a keystroke's refresh leaves the strip alone.
    QStringList m_shownStrip;
    bool m_renameFieldFocused = false;
    TabStrip *m_strip = nullptr;
    SymbolButton *m_addButton = nullptr;
    RichTextEditor *m_editor = nullptr;
    FormattingPanel *m_panel = nullptr;
    FindBar *m_findBar = nullptr;
};
