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
    m_shownTabId = first.id;
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
    storeEditedText(*index, view->plainText());
}

void NoteSession::updateActiveTabText(const QString &text)
{
    const auto index = activeTabIndex();
    if (!index)
        return;
    storeEditedText(*index, text);
}

void NoteSession::storeEditedText(qsizetype index, const QString &text)
{
    QList<EditorTab> tabs = m_tabs;
    EditorTab &tab = tabs[index];
    // An unchanged text keeps its pieces, so the journal sees at once that nothing changed.
    if (tab.cachedText != text) {
        tab.isEdited = true;
        tab.cachedText = text;
    }
    setTabs(std::move(tabs));
    m_cachedText = m_tabs.at(index).cachedText;
}

void NoteSession::applyEditToActiveTab(qsizetype position, qsizetype removed, const QString &added)
{
    const auto index = activeTabIndex();
    if (!index)
        return;
    Q_EMIT objectWillChange();
    // The mirror lets go of the text first, so the tab's pieces are edited in place.
    m_cachedText = NoteText();
    EditorTab &tab = m_tabs[*index];
    tab.cachedText.replace(position, removed, added);
    tab.isEdited = true;
    m_cachedText = tab.cachedText;
}

void NoteSession::syncPublishedFromActiveTab()
{
    const auto index = activeTabIndex();
    if (!index)
        return;
    setOpenedFileURL(m_tabs.at(*index).openedFileURL);
    m_cachedText = m_tabs.at(*index).cachedText;
}

const NoteText &NoteSession::activeTabPlainText() const
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
    m_shownTabId = m_selectedTabId;
    const NoteText text = activeTabPlainText();
    if (view) {
        view->replaceContent(text.toString(), defaultAttributes());
        view->setTypingAttributes(defaultAttributes());
    }
    m_cachedText = text;
}

QString NoteSession::currentText() const
{
    if (TextSurface *view = textView())
        return view->plainText();
    return activeTabPlainText().toString();
}

void NoteSession::selectTab(const QUuid &tabId)
{
    // A copy: the caller's id may live in the tab list that the flush below replaces.
    const QUuid id = tabId;
    if (id == m_selectedTabId || !indexOf(id))
        return;
    flushActiveTabFromTextView();
    setSelectedTabId(id);
    showSelectedTab();
}

void NoteSession::addTab()
{
    flushActiveTabFromTextView();
    const EditorTab tab = EditorTab::blank();
    QList<EditorTab> tabs = m_tabs;
    tabs.append(tab);
    setTabs(std::move(tabs));
    setSelectedTabId(tab.id);
    showSelectedTab();
}

void NoteSession::closeTab(const QUuid &tabId)
{
    // A copy: the caller's id may live in the tab list that the flush below replaces.
    const QUuid id = tabId;
    flushActiveTabFromTextView();
    const auto index = indexOf(id);
    if (!index)
        return;
    EditorTab closed = m_tabs.at(*index);
    if (closed.needsSaving()) {
        const NoteToSave note = noteToSave(closed, true);
        const SaveOutcome outcome = save(note);
        if (!outcome.isKept())
            m_unsavedNotes.append({ closed.id, note });
        takeOutcome(closed, outcome);
    }
    if (!closed.cachedText.isBlank()) {
        constexpr qsizetype remembered = 20;
        m_closedTabs.append(closed);
        if (m_closedTabs.size() > remembered)
            m_closedTabs.removeFirst();
    }

    const bool wasSelected = id == m_selectedTabId;
    m_viewStates.remove(id);
    QList<EditorTab> remaining = m_tabs;
    remaining.removeAt(*index);
    if (!remaining.isEmpty()) {
        const QUuid neighbour = remaining.at(std::max<qsizetype>(*index - 1, 0)).id;
        setTabs(std::move(remaining));
        if (wasSelected)
            setSelectedTabId(neighbour);
    } else {
        const EditorTab replacement = EditorTab::blank();
        setTabs({ replacement });
        setSelectedTabId(replacement.id);
    }
    showSelectedTab();
}

void NoteSession::moveTab(const QUuid &id, qsizetype index)
{
    const auto from = indexOf(id);
    if (!from)
        return;
    QList<EditorTab> tabs = m_tabs;
    tabs.move(*from, std::clamp<qsizetype>(index, 0, tabs.size() - 1));
    setTabs(std::move(tabs));
}

bool NoteSession::reopenClosedTab()
{
    if (m_closedTabs.isEmpty())
        return false;
    flushActiveTabFromTextView();
    const EditorTab tab = m_closedTabs.takeLast();
    // Its file is open again already: that tab is the note now.
    if (const auto holder = tab.openedFileURL ? tabHoldingFile(*tab.openedFileURL) : std::nullopt) {
        selectTab(*holder);
        return true;
    }
    // A note that could not be saved at closing is the tab's again, edited as it was.
    m_unsavedNotes.removeIf([&tab](const UnsavedNote &unsaved) { return unsaved.tabId == tab.id; });
    QList<EditorTab> tabs = m_tabs;
    tabs.append(tab);
    setTabs(std::move(tabs));
    setSelectedTabId(tab.id);
    showSelectedTab();
    return true;
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
    // A note that could not be written anywhere stays in its tab, and the file gets a new one.
    if (replaced.needsSaving()) {
        const SaveOutcome outcome = save(noteToSave(replaced, false));
        if (!outcome.isKept()) {
            addTab();
        } else {
            QList<EditorTab> tabs = m_tabs;
            takeOutcome(tabs[*index], outcome);
            setTabs(std::move(tabs));
        }
    }
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

bool NoteSession::saveAll()
{
    flushActiveTabFromTextView();
    bool allKept = true;
    QList<EditorTab> tabs = m_tabs;
    // The active note first and without its title, the others in tab order.
    QList<qsizetype> order;
    if (const auto active = activeTabIndex())
        order.append(*active);
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        if (!order.contains(i))
            order.append(i);
    }
    for (const qsizetype i : order) {
        if (!tabs.at(i).needsSaving())
            continue;
        const SaveOutcome outcome = save(noteToSave(tabs.at(i), tabs.at(i).id != m_selectedTabId));
        allKept &= outcome.isKept();
        takeOutcome(tabs[i], outcome);
    }
    setTabs(std::move(tabs));

    QList<UnsavedNote> stillUnsaved;
    for (const UnsavedNote &unsaved : std::as_const(m_unsavedNotes)) {
        if (!save(unsaved.note).isKept())
            stillUnsaved.append(unsaved);
    }
    allKept &= stillUnsaved.isEmpty();
    Q_EMIT objectWillChange();
    m_unsavedNotes = std::move(stillUnsaved);
    syncPublishedFromActiveTab();
    return allKept;
}

NoteToSave NoteSession::noteToSave(const EditorTab &tab, bool withTitle) const
{
    NoteToSave note;
    note.text = tab.cachedText.toString();
    note.file = tab.openedFileURL;
    note.fileStamp = tab.fileStamp;
    note.isEdited = tab.isEdited;
    if (withTitle)
        note.preferredTitle = title(tab);
    return note;
}

SaveOutcome NoteSession::save(const NoteToSave &note)
{
    const SaveOutcome outcome = AutoSaveManager::save(note);
    if (const auto notice = SaveNotice::about(note, outcome))
        Q_EMIT noticeRaised(*notice);
    return outcome;
}

void NoteSession::takeOutcome(EditorTab &tab, const SaveOutcome &outcome)
{
    // The file that now holds the note is the tab's from here on, a copy beside a changed
    // file or in the Recovered folder included: the next save goes there, and no note is
    // kept twice, once on disk and once more in the journal.
    if (outcome.path.isEmpty())
        return;
    tab.openedFileURL = QUrl::fromLocalFile(outcome.path);
    tab.fileStamp = outcome.stamp;
    tab.isEdited = false;
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
    return indexOf(m_shownTabId);
}

std::optional<qsizetype> NoteSession::indexOf(const QUuid &id) const
{
    for (qsizetype i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs.at(i).id == id)
            return i;
    }
    return std::nullopt;
}

void NoteSession::showSelectedTab()
{
    const bool changed = m_shownTabId != m_selectedTabId;
    TextSurface *view = textView();
    if (changed && view && indexOf(m_shownTabId))
        m_viewStates.insert(m_shownTabId, view->viewState());
    m_shownTabId = m_selectedTabId;
    syncPublishedFromActiveTab();
    if (!changed)
        return;
    if (view) {
        view->replaceContent(m_cachedText.toString(), defaultAttributes());
        view->setTypingAttributes(defaultAttributes());
        if (const auto state = m_viewStates.constFind(m_shownTabId); state != m_viewStates.cend())
            view->restoreViewState(*state);
    }
    updateFormattingState();
    Q_EMIT tabShown(m_shownTabId);
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
    // Taken before the read: should the file change meanwhile, the stamp tells a later save.
    const std::optional<FileStamp> stamp = FileStamp::of(url.toLocalFile());
    const auto content = NoteFileReader::read(url);
    const auto index = activeTabIndex();
    if (!content || !index)
        return;
    if (content->isTooLarge || content->hasTooManyLines) {
        Q_EMIT noticeRaised(content->isTooLarge
                ? SaveNotice::fileTooLarge(url.toLocalFile(), NoteFileReader::maximumSize())
                : SaveNotice::fileHasTooManyLines(
                    url.toLocalFile(), NoteFileReader::maximumLines()));
        return;
    }
    // A file that could not be shown is not bound: typing must never overwrite it.
    const std::optional<QUrl> binding = content->isUtf8 ? std::optional<QUrl>(url) : std::nullopt;
    // A note of this file still waiting to be saved is an older version than the one shown now:
    // when it is written at last, it goes beside the file rather than over it.
    for (UnsavedNote &unsaved : m_unsavedNotes) {
        if (binding && unsaved.note.file && canonicalPath(*unsaved.note.file) == canonicalPath(url))
            unsaved.note.fileStamp.reset();
    }
    QList<EditorTab> tabs = m_tabs;
    tabs[*index].openedFileURL = binding;
    tabs[*index].fileStamp = binding ? stamp : std::nullopt;
    tabs[*index].cachedText = content->text;
    tabs[*index].isEdited = false;
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
