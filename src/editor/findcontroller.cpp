#include "findcontroller.h"

#include "wispentextview.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QtConcurrent>

FindController::FindController(WispenTextView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
    connect(&m_watcher, &QFutureWatcher<Result>::finished, this, &FindController::takeResults);
    m_restartTimer.setSingleShot(true);
    m_restartTimer.setInterval(150);
    connect(&m_restartTimer, &QTimer::timeout, this, [this] {
        if (m_isActive && m_isStale)
            restartSearch();
    });
    connect(view->document(), &QTextDocument::contentsChanged, this, [this] {
        m_isStale = true;
        if (m_isActive)
            m_restartTimer.start();
    });
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
        &FindController::paintVisibleMatches);
}

FindController::~FindController()
{
    m_watcher.cancel();
    m_watcher.waitForFinished();
}

void FindController::setSearch(const QString &needle, const NoteSearch::Options &options)
{
    if (needle == m_needle && options == m_options && !m_isStale)
        return;
    m_needle = needle;
    m_options = options;
    m_isStale = true;
    restartSearch();
}

void FindController::setActive(bool active)
{
    m_isActive = active;
    if (active && m_isStale)
        restartSearch();
    paintVisibleMatches();
}

void FindController::restartSearch()
{
    m_restartTimer.stop();
    // A search still running is for a text or needle that is gone; its result is dropped.
    m_watcher.cancel();
    m_isStale = false;
    const int generation = ++m_generation;
    m_watcher.setFuture(QtConcurrent::run([generation, text = m_view->document()->toRawText(),
                                              needle = m_needle, options = m_options] {
        return Result { generation, NoteSearch::findAll(text, needle, options) };
    }));
}

void FindController::takeResults()
{
    if (m_watcher.isCanceled() || m_watcher.future().resultCount() == 0)
        return;
    Result result = m_watcher.result();
    if (result.generation != m_generation)
        return;
    m_takenGeneration = result.generation;
    m_matches = std::move(result.matches);
    paintVisibleMatches();
    Q_EMIT matchesChanged();
}

void FindController::settle()
{
    if (isSettled())
        return;
    m_restartTimer.stop();
    m_watcher.cancel();
    m_takenGeneration = ++m_generation;
    m_isStale = false;
    m_matches = NoteSearch::findAll(m_view->document()->toRawText(), m_needle, m_options);
    paintVisibleMatches();
    Q_EMIT matchesChanged();
}

void FindController::paintVisibleMatches()
{
    QList<QTextEdit::ExtraSelection> painted;
    if (m_isActive && !m_matches.isEmpty()) {
        const QTextCursor top = m_view->cursorForPosition(QPoint(0, 0));
        const QTextCursor bottom = m_view->cursorForPosition(
            QPoint(m_view->viewport()->width(), m_view->viewport()->height()));
        const auto first = std::lower_bound(m_matches.cbegin(), m_matches.cend(),
            top.block().position(), [](const NoteSearch::Match &match, int at) {
                return match.position + match.length < at;
            });
        const int last = bottom.block().position() + bottom.block().length();
        QTextCharFormat highlight;
        highlight.setBackground(QColor(255, 200, 0, 110));
        for (auto match = first; match != m_matches.cend() && match->position <= last; ++match) {
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(m_view->document());
            selection.cursor.setPosition(match->position);
            selection.cursor.setPosition(match->position + match->length, QTextCursor::KeepAnchor);
            selection.format = highlight;
            painted.append(selection);
        }
    }
    m_view->setExtraSelections(painted);
}

int FindController::currentIndex() const
{
    const QTextCursor cursor = m_view->textCursor();
    const NoteSearch::Match selected { cursor.selectionStart(),
        cursor.selectionEnd() - cursor.selectionStart() };
    const auto found = std::lower_bound(m_matches.cbegin(), m_matches.cend(), selected,
        [](const NoteSearch::Match &a, const NoteSearch::Match &b) {
            return a.position < b.position;
        });
    return found != m_matches.cend() && *found == selected ? int(found - m_matches.cbegin()) : -1;
}

void FindController::select(const NoteSearch::Match &match)
{
    QTextCursor cursor(m_view->document());
    cursor.setPosition(match.position);
    cursor.setPosition(match.position + match.length, QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
    m_view->ensureCursorVisible();
}

void FindController::findNext()
{
    settle();
    if (m_matches.isEmpty())
        return;
    const int from = m_view->textCursor().selectionEnd();
    const auto next = std::lower_bound(m_matches.cbegin(), m_matches.cend(), from,
        [](const NoteSearch::Match &match, int at) { return match.position < at; });
    select(next != m_matches.cend() ? *next : m_matches.first());
}

void FindController::findPrevious()
{
    settle();
    if (m_matches.isEmpty())
        return;
    const int before = m_view->textCursor().selectionStart();
    auto previous = std::lower_bound(m_matches.cbegin(), m_matches.cend(), before,
        [](const NoteSearch::Match &match, int at) { return match.position < at; });
    select(previous != m_matches.cbegin() ? *(previous - 1) : m_matches.last());
}

void FindController::replace(const QString &replacement)
{
    settle();
    const int index = currentIndex();
    if (index < 0) {
        findNext();
        return;
    }
    const NoteSearch::Match match = m_matches.at(index);
    m_view->editAsProgram([&](QTextCursor &cursor) {
        cursor.setPosition(match.position);
        cursor.setPosition(match.position + match.length, QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
    });
    settle();
    findNext();
}

int FindController::replaceAll(const QString &replacement)
{
    settle();
    const QList<NoteSearch::Match> matches = m_matches;
    if (matches.isEmpty())
        return 0;
    // From the end, so that earlier positions stay where they were.
    m_view->editAsProgram([&](QTextCursor &cursor) {
        for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
            cursor.setPosition(match->position);
            cursor.setPosition(match->position + match->length, QTextCursor::KeepAnchor);
            cursor.insertText(replacement);
        }
    });
    settle();
    return int(matches.size());
}
