#pragma once

#include "notesearch.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

class QTextDocument;
class WispenTextView;

// Find and replace over the note in the view. The search runs on a copy of the text away from
// the window's thread and starts again whenever the note or the search changes, so typing never
// waits for it; only the matches on screen are painted, so a note with a great many matches
// scrolls as fast as one with none.
class FindController : public QObject
{
    Q_OBJECT

public:
    explicit FindController(WispenTextView *view, QObject *parent = nullptr);
    ~FindController() override;

    void setSearch(const QString &needle, const NoteSearch::Options &options);
    QString needle() const { return m_needle; }
    // Stops painting matches; the search stays for the next time.
    void setActive(bool active);

    const QList<NoteSearch::Match> &matches() const { return m_matches; }
    // The index of the selected match, or -1.
    int currentIndex() const;
    // True once the matches belong to the text and search as they stand.
    bool isSettled() const { return !m_isStale && m_takenGeneration == m_generation; }

    // Selects the next or previous match from the caret, wrapping around the note.
    void findNext();
    void findPrevious();
    // Replaces the selected match and selects the next one; selects the next one first when
    // the selection is not a match.
    void replace(const QString &replacement);
    // Every match at once, as one step of undo. Returns how many.
    int replaceAll(const QString &replacement);

Q_SIGNALS:
    void matchesChanged();

private:
    void restartSearch();
    void takeResults();
    void paintVisibleMatches();
    void select(const NoteSearch::Match &match);
    // Runs the search now, on this thread, when a command needs matches that are current.
    void settle();

    WispenTextView *m_view = nullptr;
    QString m_needle;
    NoteSearch::Options m_options;
    bool m_isActive = false;
    bool m_isStale = true;
    QList<NoteSearch::Match> m_matches;
    // Each search is numbered; a result that arrives for an earlier one is dropped.
    int m_generation = 0;
    int m_takenGeneration = 0;
    struct Result
    {
        int generation = 0;
        QList<NoteSearch::Match> matches;
    };
    QFutureWatcher<Result> m_watcher;
    // Typing in a long note restarts the search once it pauses, not at every key: the copy of
    // the text the search works on costs a few milliseconds at 10 MB.
    QTimer m_restartTimer;
};
