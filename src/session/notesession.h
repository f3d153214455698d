#pragma once

#include "editortab.h"
#include "textattributes.h"
#include "textsurface.h"

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

    // Text between the view and the tabs.
    void flushActiveTabFromTextView();
    void updateActiveTabText(const QString &text);
    // The same for an edit of part of the text: removed characters from position on give way
    // to added. One notification, and no copy of a long note when nothing else shares it.
    void applyEditToActiveTab(qsizetype position, qsizetype removed, const QString &added);
    void syncPublishedFromActiveTab();
    QString activeTabPlainText() const;
    std::optional<QUrl> activeTabOpenedFileURL() const;
    void attachTextView(TextSurface *view);
    QString currentText() const;

    // Tabs.
    void selectTab(const QUuid &id);
    void addTab();
    void closeTab(const QUuid &id);

    // Opening files into tabs.
    void loadFile(const QUrl &url);
    void loadFiles(const QList<QUrl> &urls);

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
    QString cachedText() const { return m_cachedText; }
    void setCachedText(const QString &text) { m_cachedText = text; }

Q_SIGNALS:
    void objectWillChange();

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
    std::optional<QUuid> tabHoldingFile(const QUrl &url) const;
    void showFileInActiveTab(const QUrl &url);
    static bool loadCopyPreservesLineBreaksDefault();

    QList<EditorTab> m_tabs;
    QUuid m_selectedTabId;
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
    QString m_cachedText;
};
