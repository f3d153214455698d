#pragma once

#include "autosave/savenotice.h"
#include "editortab.h"
#include "textattributes.h"
#include "textsurface.h"
#include "unsavednote.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QUuid>
#include <optional>

// The one model of the app: the tabs, which one is selected, the text moving between the
// editor and the tabs, the formatting state at the caret and the copy preference.
// Every published property fires objectWillChange() before it is stored, changed or not;
// the tab list is always written back whole, one notification per write-back.
//
// The attached view always shows a known tab, and each command that selects another tab loads
// it into the view before it returns: whatever arrives next, typed or flushed, belongs to the
// tab on screen and to no other.
class NoteSession : public QObject
{
    Q_OBJECT

public:
    // The app's one session. Tests build their own with the public constructor.
    static NoteSession &shared();

    explicit NoteSession(QObject *parent = nullptr);

    // Attributes every restored text and all fresh typing start with; built anew on each call.
    static TextAttributes defaultAttributes();

    // Titles and renaming.
    QString title(const EditorTab &tab) const;
    void updateTabTitleDraft(const QUuid &id, const QString &draft);
    void commitTabTitle(const QUuid &id);

    // Text between the view and the tabs. The active tab is the one the view shows.
    void flushActiveTabFromTextView();
    void updateActiveTabText(const QString &text);
    // The same for an edit of part of the text: removed characters from position on give way
    // to added. One notification, and no copy of a long note when nothing else shares it.
    void applyEditToActiveTab(qsizetype position, qsizetype removed, const QString &added);
    void syncPublishedFromActiveTab();
    const NoteText &activeTabPlainText() const;
    std::optional<QUrl> activeTabOpenedFileURL() const;
    void attachTextView(TextSurface *view);
    QString currentText() const;

    // Tabs.
    void selectTab(const QUuid &id);
    void addTab();
    void closeTab(const QUuid &id);
    // Puts the tab at index (clamped to the list), keeping the selection.
    void moveTab(const QUuid &id, qsizetype index);
    // Brings back the most recently closed tab that was not blank, with its text, title and
    // file, and selects it. Its note was saved when it closed, so the tab is bound to the file
    // that holds it. False when there is none.
    bool reopenClosedTab();
    bool canReopenClosedTab() const { return !m_closedTabs.isEmpty(); }

    // Opening files into tabs.
    void loadFile(const QUrl &url);
    void loadFiles(const QList<QUrl> &urls);

    // Writes every note that needs it, as quitting does: first the active one without its
    // title, then the other tabs in order, then notes of closed tabs that could not be
    // written before. A tab is bound from then on to the file that holds its note (a new
    // desktop file, a copy), so a second run writes no second copy. False when a note is
    // written nowhere.
    bool saveAll();
    // Notes of closed tabs whose save failed; saveAll() tries them again.
    const QList<UnsavedNote> &unsavedNotes() const { return m_unsavedNotes; }

    // Formatting state at the caret, read back from the view.
    void updateFormattingState();

    void refocus();

    // Published state.
    const QList<EditorTab> &tabs() const { return m_tabs; }
    QUuid selectedTabId() const { return m_selectedTabId; }
    std::optional<QUrl> openedFileURL() const { return m_openedFileURL; }
    bool isBold() const { return m_isBold; }
    bool isItalic() const { return m_isItalic; }
    bool isUnderline() const { return m_isUnderline; }
    double fontSize() const { return m_fontSize; }
    Qt::Alignment alignment() const { return m_alignment; }
    bool isOnChecklistLine() const { return m_isOnChecklistLine; }
    bool copyPreservesLineBreaks() const { return m_copyPreservesLineBreaks; }
    void setCopyPreservesLineBreaks(bool preserve);

    // Not published.
    TextSurface *textView() const;
    const NoteText &cachedText() const { return m_cachedText; }

Q_SIGNALS:
    void objectWillChange();
    // The view has just been given another tab's text.
    void tabShown(const QUuid &id);
    // A note went somewhere the person would not look for it, or a file was not opened.
    void noticeRaised(const SaveNotice &notice);

private:
    // Store a published value: notify first, then assign, whether or not it differs.
    template<typename T, typename V> void publish(T &field, V &&value)
    {
        Q_EMIT objectWillChange();
        field = std::forward<V>(value);
    }

    void setTabs(QList<EditorTab> tabs) { publish(m_tabs, std::move(tabs)); }
    void setSelectedTabId(const QUuid &id) { publish(m_selectedTabId, id); }
    void setOpenedFileURL(const std::optional<QUrl> &url) { publish(m_openedFileURL, url); }

    std::optional<qsizetype> activeTabIndex() const;
    std::optional<qsizetype> indexOf(const QUuid &id) const;
    std::optional<QUuid> tabHoldingFile(const QUrl &url) const;
    void showFileInActiveTab(const QUrl &url);
    // Loads the selected tab into the view when the view shows another one.
    void showSelectedTab();
    NoteToSave noteToSave(const EditorTab &tab, bool withTitle) const;
    SaveOutcome save(const NoteToSave &note);
    // The tab after a save: bound to where its note now is, not edited since.
    static void takeOutcome(EditorTab &tab, const SaveOutcome &outcome);
    void storeEditedText(qsizetype index, const QString &text);
    static bool loadCopyPreservesLineBreaksDefault();

    QList<EditorTab> m_tabs;
    QUuid m_selectedTabId;
    // The tab whose text the view holds; edits and flushes go there.
    QUuid m_shownTabId;
    QList<UnsavedNote> m_unsavedNotes;
    // Most recent last.
    QList<EditorTab> m_closedTabs;
    // Where each tab was left on screen; a tab shown for the first time starts at the top.
    QHash<QUuid, ViewState> m_viewStates;
    std::optional<QUrl> m_openedFileURL;
    bool m_isBold = false;
    bool m_isItalic = false;
    bool m_isUnderline = false;
    double m_fontSize = TextDefaults::fontPointSize;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_isOnChecklistLine = false;
    bool m_copyPreservesLineBreaks = true;
    // Weak: the view is a QObject, and the guard turns null when it is destroyed.
    TextSurface *m_textView = nullptr;
    QPointer<QObject> m_textViewGuard;
    NoteText m_cachedText;
};
