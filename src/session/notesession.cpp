#include "notesession.h"

#include "autosave/autosavemanager.h"
#include "autosave/whitespace.h"
#include "notefilereader.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString copyPreferenceKey = QStringLiteral("copyPreservesLineBreaks");
const QString untitled = QStringLiteral("Untitled");

// The file a url names, with links and dots resolved; empty for no existing local file.
QString canonicalPath(const QUrl &url)
{
    return url.isLocalFile() ? QFileInfo(url.toLocalFile()).canonicalFilePath() : QString();
}
} // namespace

NoteSession &NoteSession::shared()
{
    static NoteSession session;
    return session;
}

NoteSession::NoteSession(QObject *parent)
    : QObject(parent)
    , m_copyPreservesLineBreaks(loadCopyPreservesLineBreaksDefault())
{
    const EditorTab first = EditorTab::blank();
    m_tabs = { first };
    m_selectedTabId = first.id;
}

TextAttributes NoteSession::defaultAttributes()
{
    TextAttributes attributes;
    // The font is set property by property so that the format names a family, a size and a
    // weight explicitly; the foreground stays unset so text follows the palette's colour.
    const QFont font = TextDefaults::font();
    attributes.character.setFontFamilies(font.families());
    attributes.character.setFontPointSize(TextDefaults::fontPointSize);
    attributes.character.setFontWeight(QFont::Normal);
    attributes.character.setFontItalic(false);
    attributes.character.setFontUnderline(false);
    attributes.paragraph.setAlignment(Qt::AlignLeft);
    return attributes;
}

QString NoteSession::title(const EditorTab &tab) const
{
    if (!tab.customTitle)
        return untitled;
    const QString trimmed = Whitespace::trimmed(*tab.customTitle);
    return trimmed.isEmpty() ? untitled : trimmed;
}

void NoteSession::updateTabTitleDraft(const QUuid &id, const QString &draft)
{
    QList<EditorTab> tabs = m_tabs;
    for (EditorTab &tab : tabs) {
        if (tab.id != id)
            continue;
        tab.customTitle = draft.isEmpty() ? std::nullopt : std::optional<QString>(draft);
        setTabs(std::move(tabs));
        return;
    }
}

void NoteSession::commitTabTitle(const QUuid &id)
{
    QList<EditorTab> tabs = m_tabs;
    for (EditorTab &tab : tabs) {
        if (tab.id != id)
            continue;
        if (tab.customTitle) {
            const QString trimmed = Whitespace::trimmed(*tab.customTitle);
            tab.customTitle = trimmed.isEmpty() ? std::nullopt : std::optional<QString>(trimmed);
        }
        setTabs(std::move(tabs));
        return;
    }
}

void NoteSession::flushActiveTabFromTextView()
{
    TextSurface *view = textView();
    if (!view)
        return;
    const auto index = activeTabIndex();
    if (!index)
        return;
    const QString text = view->plainText();
    QList<EditorTab> tabs = m_tabs;
    tabs[*index].cachedText = text;
    setTabs(std::move(tabs));
    m_cachedText = text;
}

void NoteSession::updateActiveTabText(const QString &text)
{
    const auto index = activeTabIndex();
    if (!index)
        return;
    QList<EditorTab> tabs = m_tabs;
    tabs[*index].cachedText = text;
    setTabs(std::move(tabs));
    m_cachedText = text;
}

void NoteSession::applyEditToActiveTab(qsizetype position, qsizetype removed, const QString &added)
{
    const auto index = activeTabIndex();
    if (!index)
        return;
    Q_EMIT objectWillChange();
    // The mirror lets go of the text first, so the tab's copy is edited in place.
    m_cachedText = QString();
    QString &text = m_tabs[*index].cachedText;
    text.replace(position, removed, added);
    m_cachedText = text;
}

void NoteSession::syncPublishedFromActiveTab()
{
    const auto index = activeTabIndex();
    if (!index)
        return;
    setOpenedFileURL(m_tabs.at(*index).openedFileURL);
    m_cachedText = m_tabs.at(*index).cachedText;
}

QString NoteSession::activeTabPlainText() const
{
    const auto index = activeTabIndex();
    return index ? m_tabs.at(*index).cachedText : m_cachedText;
}

std::optional<QUrl> NoteSession::activeTabOpenedFileURL() const
{
    const auto index = activeTabIndex();
    return index ? m_tabs.at(*index).openedFileURL : m_openedFileURL;
}

void NoteSession::attachTextView(TextSurface *view)
{
    m_textView = view;
    m_textViewGuard = dynamic_cast<QObject *>(view);
    const QString text = activeTabPlainText();
    if (view) {
        view->replaceContent(text, defaultAttributes());
        view->setTypingAttributes(defaultAttributes());
    }
    m_cachedText = text;
}

QString NoteSession::currentText() const
{
    if (TextSurface *view = textView())
        return view->plainText();
    return activeTabPlainText();
}

void NoteSession::selectTab(const QUuid &tabId)
{
    // A copy: the caller's id may live in the tab list that the flush below replaces.
    const QUuid id = tabId;
    if (id == m_selectedTabId)
        return;
    flushActiveTabFromTextView();
    setSelectedTabId(id);
    syncPublishedFromActiveTab();
}

void NoteSession::addTab()
{
    flushActiveTabFromTextView();
    const EditorTab tab = EditorTab::blank();
    QList<EditorTab> tabs = m_tabs;
    tabs.append(tab);
    setTabs(std::move(tabs));
    setSelectedTabId(tab.id);
    syncPublishedFromActiveTab();
}

void NoteSession::closeTab(const QUuid &tabId)
{
    // A copy: the caller's id may live in the tab list that the flush below replaces.
    const QUuid id = tabId;
    flushActiveTabFromTextView();
    const auto found = std::find_if(
        m_tabs.cbegin(), m_tabs.cend(), [&id](const EditorTab &tab) { return tab.id == id; });
    if (found == m_tabs.cend())
        return;
    const qsizetype index = found - m_tabs.cbegin();
    const EditorTab closed = *found;
    AutoSaveManager::saveIfNeeded(closed.cachedText, closed.openedFileURL, title(closed));

    const bool wasSelected = id == m_selectedTabId;
    QList<EditorTab> remaining = m_tabs;
    remaining.removeAt(index);
    if (!remaining.isEmpty()) {
        const QUuid neighbour = remaining.at(std::max<qsizetype>(index - 1, 0)).id;
        setTabs(std::move(remaining));
        if (wasSelected)
            setSelectedTabId(neighbour);
    } else {
        const EditorTab replacement = EditorTab::blank();
        setTabs({ replacement });
        setSelectedTabId(replacement.id);
    }
    syncPublishedFromActiveTab();
}

void NoteSession::loadFile(const QUrl &url)
{
    flushActiveTabFromTextView();
    const auto index = activeTabIndex();
    if (!index)
        return;
    // A file that is open already is shown where it is: a second tab bound to the same file
    // would let one tab's stale text overwrite the other's edits on the next save.
    if (const auto holder = tabHoldingFile(url)) {
        selectTab(*holder);
        return;
    }
    const EditorTab replaced = m_tabs.at(*index);
    const QString savedTo
        = AutoSaveManager::saveIfNeeded(replaced.cachedText, replaced.openedFileURL, std::nullopt);
    // A note that could not be written anywhere stays on screen in its tab.
    if (savedTo.isEmpty() && !Whitespace::isBlank(replaced.cachedText))
        addTab();
    showFileInActiveTab(url);
}

void NoteSession::loadFiles(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return;
    loadFile(urls.first());
    for (const QUrl &url : urls.sliced(1)) {
        if (const auto holder = tabHoldingFile(url)) {
            selectTab(*holder);
            continue;
        }
        addTab();
        showFileInActiveTab(url);
    }
}

void NoteSession::updateFormattingState()
{
    TextSurface *view = textView();
    if (!view)
        return;
    const FormattingState state = view->formattingState();
    if (state.font) {
        publish(m_isBold, state.font->isBold);
        publish(m_isItalic, state.font->isItalic);
        publish(m_fontSize, state.font->pointSize);
    }
    publish(m_isUnderline, state.isUnderline);
    publish(m_alignment, state.alignment);
    publish(m_isOnChecklistLine, state.isOnChecklistLine);
}

TextSurface *NoteSession::textView() const
{
    return m_textViewGuard ? m_textView : nullptr;
}

void NoteSession::refocus()
{
    if (TextSurface *view = textView())
        view->takeFocus();
}

void NoteSession::setCopyPreservesLineBreaks(bool preserve)
{
    publish(m_copyPreservesLineBreaks, preserve);
    QSettings().setValue(copyPreferenceKey, preserve);
}

std::optional<qsizetype> NoteSession::activeTabIndex() const
{
    for (qsizetype i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs.at(i).id == m_selectedTabId)
            return i;
    }
    return std::nullopt;
}

std::optional<QUuid> NoteSession::tabHoldingFile(const QUrl &url) const
{
    const QString path = canonicalPath(url);
    if (path.isEmpty())
        return std::nullopt;
    for (const EditorTab &tab : m_tabs) {
        if (tab.openedFileURL && canonicalPath(*tab.openedFileURL) == path)
            return tab.id;
    }
    return std::nullopt;
}

// Loading steps shared by the active tab and a tab made for a further file: read, bind, show.
void NoteSession::showFileInActiveTab(const QUrl &url)
{
    const auto content = NoteFileReader::read(url);
    const auto index = activeTabIndex();
    if (!content || !index)
        return;
    // A file that could not be shown is not bound: typing must never overwrite it.
    const std::optional<QUrl> binding = content->isUtf8 ? std::optional<QUrl>(url) : std::nullopt;
    QList<EditorTab> tabs = m_tabs;
    tabs[*index].openedFileURL = binding;
    tabs[*index].cachedText = content->text;
    setTabs(std::move(tabs));
    setOpenedFileURL(binding);
    m_cachedText = content->text;
    if (TextSurface *view = textView()) {
        view->replaceContent(content->text, defaultAttributes());
        view->setTypingAttributes(defaultAttributes());
        refocus();
    }
    updateFormattingState();
}

bool NoteSession::loadCopyPreservesLineBreaksDefault()
{
    const QSettings settings;
    if (!settings.contains(copyPreferenceKey))
        return true;
    return settings.value(copyPreferenceKey).toBool();
}
