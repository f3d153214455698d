#include "contentview.h"

#include "editor/findbar.h"
#include "editor/findcontroller.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "formatting/formattingpanel.h"
#include "renamefield.h"
#include "session/notesession.h"
#include "tabbar.h"
#include "tabcell.h"
#include "tabstrip.h"
#include "ui/symbolbutton.h"
#include "ui/verticalscroller.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int addButtonTrailingPadding = 10;

SymbolButton::Look addButtonLook()
{
    SymbolButton::Look look;
    look.glyphSize = 12;
    look.weight = Symbols::Weight::Medium;
    return look;
}
} // namespace

ContentView::ContentView(NoteSession &session, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeTabBar());

    auto *editorRow = new QHBoxLayout;
    editorRow->setContentsMargins(0, 0, 0, 0);
    editorRow->setSpacing(0);
    m_editor = new RichTextEditor(session, this);
    m_editor->setMinimumWidth(0);
    m_editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_panel = new FormattingPanel(session, m_editor->textView(), this);
    m_findBar = new FindBar(m_editor->textView(), this);
    column->addWidget(m_findBar);
    editorRow->addWidget(m_editor, 1);
    // At a large zoom the panel is taller than the window: it scrolls rather than losing its
    // last buttons.
    editorRow->addWidget(new VerticalScroller(m_panel, this));
    column->addLayout(editorRow, 1);

    connect(
        &m_session, &NoteSession::objectWillChange, this, [this] { m_deferredRefresh.request(); });
    refresh();
}

ContentView::~ContentView()
{
    // A rename field reports losing the focus while QWidget's destructor deletes it, when this
    // object is no ContentView any more.
    for (RenameField *field : findChildren<RenameField *>())
        field->disconnect(this);
}

QWidget *ContentView::makeTabBar()
{
    auto *bar = new TabBar(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, addButtonTrailingPadding, 0);
    row->setSpacing(0);
    m_strip = new TabStrip(bar);
    connect(m_strip, &TabStrip::closeRequested, this, &ContentView::closeFromButton);
    connect(m_strip, &TabStrip::moveRequested, this, [this](const QUuid &id, int index) {
        finalizeRenameIfNeeded();
        m_session.moveTab(id, index);
    });
    row->addWidget(m_strip, 1, Qt::AlignVCenter);
    m_addButton = new SymbolButton(QStringLiteral("plus"), addButtonLook(), bar);
    m_addButton->setToolTip(QStringLiteral("New tab"));
    m_addButton->setAccessibleName(QStringLiteral("New tab"));
    connect(m_addButton, &SymbolButton::clicked, this, &ContentView::addTab);
    row->addWidget(m_addButton, 0, Qt::AlignVCenter);
    return bar;
}

void ContentView::addTab()
{
    finalizeRenameIfNeeded();
    m_session.addTab();
}

void ContentView::closeSelectedTab()
{
    closeFromButton(m_session.selectedTabId());
}

void ContentView::selectTabAtOffset(int offset)
{
    const QList<EditorTab> &tabs = m_session.tabs();
    if (tabs.isEmpty())
        return;
    qsizetype current = 0;
    while (current < tabs.size() && tabs.at(current).id != m_session.selectedTabId())
        ++current;
    if (current == tabs.size())
        current = 0;
    const qsizetype count = tabs.size();
    const qsizetype target = ((current + offset) % count + count) % count;
    // A copy: renaming ends first and replaces the tab list that tabs refers to.
    const QUuid id = tabs.at(target).id;
    selectFromTitle(id);
}

void ContentView::moveSelectedTab(int offset)
{
    finalizeRenameIfNeeded();
    const QList<EditorTab> &tabs = m_session.tabs();
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        if (tabs.at(i).id == m_session.selectedTabId()) {
            const QUuid id = tabs.at(i).id;
            m_session.moveTab(id, i + offset);
            return;
        }
    }
}

void ContentView::openFind(bool withReplace)
{
    m_findBar->open(withReplace);
}

void ContentView::findNext()
{
    if (m_findBar->controller()->needle().isEmpty())
        m_findBar->open(false);
    else
        m_findBar->controller()->findNext();
}

void ContentView::findPrevious()
{
    if (m_findBar->controller()->needle().isEmpty())
        m_findBar->open(false);
    else
        m_findBar->controller()->findPrevious();
}

void ContentView::focusPane(int offset)
{
    // Each part of the window, and where the focus goes in it.
    using Pane = std::pair<QWidget *, QWidget *>;
    QList<Pane> panes { Pane(m_strip->parentWidget(), m_addButton) };
    if (m_findBar->isVisible())
        panes.append(Pane(m_findBar, m_findBar->findField()));
    panes.append(Pane(m_editor, m_editor->textView()));
    panes.append(Pane(m_panel, m_panel->firstFocusable()));
    QWidget *focused = QApplication::focusWidget();
    qsizetype current = -1;
    for (qsizetype i = 0; i < panes.size(); ++i) {
        if (focused && panes.at(i).first->isAncestorOf(focused))
            current = i;
    }
    const qsizetype count = panes.size();
    const qsizetype next
        = current < 0 ? (offset > 0 ? 0 : count - 1) : ((current + offset) % count + count) % count;
    panes.at(next).second->setFocus(Qt::TabFocusReason);
}

void ContentView::reopenClosedTab()
{
    finalizeRenameIfNeeded();
    m_session.reopenClosedTab();
}

TabCell *ContentView::cell(const QUuid &id) const
{
    return m_strip->existingCell(id);
}

void ContentView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
}

void ContentView::refresh()
{
    QStringList strip { m_session.selectedTabId().toString(),
        m_renamingTabId ? m_renamingTabId->toString() : QString() };
    for (const EditorTab &tab : m_session.tabs())
        strip << tab.id.toString() << m_session.title(tab);
    if (strip == m_shownStrip)
        return;
    m_shownStrip = strip;
    QList<QUuid> order;
    for (const EditorTab &tab : m_session.tabs()) {
        order.append(tab.id);
        TabCell *cell = m_strip->cell(tab.id);
        const bool isSelected = tab.id == m_session.selectedTabId();
        cell->setSelected(isSelected);
        if (m_renamingTabId == tab.id) {
            showRenameField(cell);
            continue;
        }
        const bool fieldHadFocus = cell->renameField() && cell->renameField()->hasFocus();
        const QUuid id = tab.id;
        cell->showTitle(TabTitleLabel(
            m_session.title(tab), isSelected, [this, id] { selectFromTitle(id); },
            [this, id] { beginRename(id); }));
        // A rename ended from its own field: typing goes back to the note.
        if (fieldHadFocus && !m_renamingTabId)
            m_session.refocus();
    }
    m_strip->arrange(order);
    m_strip->updateGeometry();
    revealSelectedTab();
}

void ContentView::revealSelectedTab()
{
    // Once the row is laid out with the cells just arranged.
    QTimer::singleShot(0, this, [this] {
        if (TabCell *selected = cell(m_session.selectedTabId()))
            m_strip->reveal(selected);
    });
}

void ContentView::showRenameField(TabCell *cell)
{
    if (cell->renameField())
        return;
    RenameField *field = cell->showRenameField(m_renameDraft);
    const QUuid id = cell->id();
    connect(field, &RenameField::textEdited, this, [this, id](const QString &text) {
        m_renameDraft = text;
        m_session.updateTabTitleDraft(id, text);
    });
    connect(field, &RenameField::returnPressed, this, &ContentView::finalizeRenameIfNeeded);
    connect(field, &RenameField::focusChanged, this,
        [this](bool focused) { m_renameFieldFocused = focused; });
}

void ContentView::finalizeRenameIfNeeded()
{
    if (!m_renamingTabId)
        return;
    const QUuid id = *m_renamingTabId;
    m_session.commitTabTitle(id);
    setRenamingTabId(std::nullopt);
    m_renameFieldFocused = false;
}

void ContentView::selectFromTitle(const QUuid &id)
{
    finalizeRenameIfNeeded();
    m_session.selectTab(id);
}

void ContentView::beginRename(const QUuid &id)
{
    const auto &tabs = m_session.tabs();
    const auto tab = std::find_if(
        tabs.cbegin(), tabs.cend(), [&id](const EditorTab &each) { return each.id == id; });
    m_renameDraft = tab != tabs.cend() ? tab->customTitle.value_or(QString()) : QString();
    setRenamingTabId(id);
}

void ContentView::closeFromButton(const QUuid &id)
{
    if (m_renamingTabId == id) {
        m_session.commitTabTitle(id);
        setRenamingTabId(std::nullopt);
        m_renameFieldFocused = false;
    }
    m_session.closeTab(id);
}

void ContentView::setRenamingTabId(const std::optional<QUuid> &id)
{
    const bool changed = id != m_renamingTabId;
    m_renamingTabId = id;
    m_deferredRefresh.request();
    // The field is on screen after the refresh just scheduled; focus it on a later turn.
    if (changed && id)
        QTimer::singleShot(0, this, &ContentView::focusRenameField);
}

void ContentView::focusRenameField()
{
    m_renameFieldFocused = true;
    TabCell *renaming = m_renamingTabId ? cell(*m_renamingTabId) : nullptr;
    RenameField *field = renaming ? renaming->renameField() : nullptr;
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
