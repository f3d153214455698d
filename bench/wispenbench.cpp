// Measures Wispen's real code paths next to a bare QTextEdit doing the same work, on generated
// notes of 1 MB and 10 MB, and checks the ratios against their budgets.

#include "app/appdelegate.h"
#include "benchreport.h"
#include "childprocess.h"
#include "editor/findcontroller.h"
#include "editor/wispentextview.h"
#include "editorfixtures.h"
#include "filechangewatch.h"
#include "formatting/formattingactions.h"
#include "journal/recoveryjournal.h"
#include "prose.h"
#include "session/notesession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <functional>

namespace {

constexpr int perKeyRepetitions = 101;
constexpr int heavyRepetitions = 11;
constexpr int processRepetitions = 9;

using Action = std::function<void()>;

struct Step
{
    Action prepare; // untimed
    Action action; // timed, with the event loop's follow-up
};

double timeOnce(const Step &step)
{
    if (step.prepare) {
        step.prepare();
        settle();
    }
    QElapsedTimer timer;
    timer.start();
    step.action();
    settle();
    return timer.nsecsElapsed() / 1e6;
}

// Times Wispen and the bare editor turn about, so that drift over the run hits both alike.
std::pair<std::vector<double>, std::vector<double>> timePair(
    int repetitions, const Step &wispen, const Step &bare)
{
    std::pair<std::vector<double>, std::vector<double>> samples;
    for (int i = 0; i < repetitions; ++i) {
        samples.first.push_back(timeOnce(wispen));
        samples.second.push_back(timeOnce(bare));
    }
    return samples;
}

void placeCaret(QTextEdit *edit, int position)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(position);
    edit->setTextCursor(cursor);
}

// The first checklist line at or after the middle of the document.
QTextBlock checklistBlockNearMiddle(QTextDocument *document)
{
    QTextBlock block = document->findBlock(document->characterCount() / 2);
    while (block.isValid() && !block.text().startsWith(u"☐ "))
        block = block.next();
    return block;
}

QString writeNote(const QDir &dir, const QString &name, const QString &text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    return path;
}

struct Notes
{
    QString text;
    QString path;
    QString label; // "1mb" or "10mb"
};

class Bench
{
public:
    Bench(WispenFixture &wispen, BareFixture &bare, BenchReport &report)
        : m_wispen(wispen)
        , m_bare(bare)
        , m_report(report)
    {
    }

    void keystroke(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        QTextEdit *edit = m_bare.edit();
        placeCaret(view, view->document()->characterCount() / 2);
        placeCaret(edit, edit->document()->characterCount() / 2);
        const auto [ours, theirs]
            = timePair(perKeyRepetitions, { {}, [view] { QTest::keyClick(view, Qt::Key_E); } },
                { {}, [edit] { QTest::keyClick(edit, Qt::Key_E); } });
        m_report.add(QStringLiteral("keystroke_") + note.label, ours, theirs, 1.3);
        m_wispen.closeActiveTab();
    }

    // Typing with the find bar open on a common word: the search must never hold a key up.
    void keystrokeWhileSearching(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        QTextEdit *edit = m_bare.edit();
        FindController find(view);
        find.setSearch(QStringLiteral("the"), {});
        find.setActive(true);
        while (!find.isSettled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        placeCaret(view, view->document()->characterCount() / 2);
        placeCaret(edit, edit->document()->characterCount() / 2);
        const auto [ours, theirs]
            = timePair(perKeyRepetitions, { {}, [view] { QTest::keyClick(view, Qt::Key_E); } },
                { {}, [edit] { QTest::keyClick(edit, Qt::Key_E); } });
        m_report.add(QStringLiteral("keystroke_while_finding_") + note.label, ours, theirs, 1.3);
        // Every match of the word, found away from the window's thread, against the bare
        // editor's own search through its document on the window's thread.
        std::vector<double> found, bareFound;
        for (int i = 0; i < heavyRepetitions; ++i) {
            QElapsedTimer timer;
            timer.start();
            find.setSearch(i % 2 ? QStringLiteral("the") : QStringLiteral("The"), { true, false });
            while (!find.isSettled())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            found.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            QTextCursor cursor(edit->document());
            while (!(cursor
                = edit->document()->find(i % 2 ? QStringLiteral("the") : QStringLiteral("The"),
                    cursor, QTextDocument::FindCaseSensitively))
                        .isNull()) { }
            bareFound.push_back(timer.nsecsElapsed() / 1e6);
        }
        m_report.add(QStringLiteral("find_all_") + note.label, found, bareFound, std::nullopt);
        m_wispen.closeActiveTab();
    }

    void returnOnChecklist(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        const auto caretAtItemEnd = [](QTextEdit *edit) {
            const QTextBlock item = checklistBlockNearMiddle(edit->document());
            const int end = item.position() + item.length() - 1;
            return [edit, end] { placeCaret(edit, end); };
        };
        // The bare editor makes the same change: a line break and a new item's prefix.
        QTextEdit *edit = m_bare.edit();
        WispenTextView *view = m_wispen.view();
        const auto [ours, theirs] = timePair(perKeyRepetitions,
            { caretAtItemEnd(view), [view] { QTest::keyClick(view, Qt::Key_Return); } },
            { caretAtItemEnd(edit), [edit] { edit->textCursor().insertText(u"\n☐ "_qs); } });
        m_report.add(QStringLiteral("return_checklist_") + note.label, ours, theirs, 1.3);
        m_wispen.closeActiveTab();
    }

    void toggleGlyph(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        const int glyph = checklistBlockNearMiddle(view->document()).position();
        placeCaret(view, glyph);
        view->ensureCursorVisible();
        settle();
        QTextCursor atGlyph(view->document());
        atGlyph.setPosition(glyph);
        const QPoint point = view->cursorRect(atGlyph).center() + QPoint(3, 0);
        // The bare editor makes the same one-character change through its cursor.
        QTextEdit *edit = m_bare.edit();
        const int bareGlyph = checklistBlockNearMiddle(edit->document()).position();
        const auto [ours, theirs] = timePair(perKeyRepetitions,
            { {},
                [view, point] { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point); } },
            { {}, [edit, bareGlyph] {
                 QTextCursor cursor(edit->document());
                 cursor.setPosition(bareGlyph);
                 cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
                 cursor.insertText(cursor.selectedText() == u"☐" ? u"☑"_qs : u"☐"_qs);
             } });
        m_report.add(QStringLiteral("toggle_glyph_") + note.label, ours, theirs, 1.3);
        m_wispen.closeActiveTab();
    }

    void tabSwitch(const Notes &note)
    {
        NoteSession &session = m_wispen.session();
        m_wispen.openInNewTab(note.path);
        const QUuid noteTab = session.selectedTabId();
        session.addTab();
        const QUuid smallTab = session.selectedTabId();
        settle();
        const auto [ours, theirs] = timePair(heavyRepetitions,
            { [&] {
                 session.selectTab(smallTab);
                 settle();
             },
                [&] { session.selectTab(noteTab); } },
            { [this] { m_bare.load(QStringLiteral("x")); },
                [&] { m_bare.edit()->setPlainText(note.text); } });
        m_report.add(QStringLiteral("tab_switch_") + note.label, ours, theirs, 1.2);
        m_wispen.closeActiveTab();
        m_wispen.closeActiveTab();
    }

    void open(const Notes &note)
    {
        NoteSession &session = m_wispen.session();
        bool holdsNote = false;
        const auto [ours, theirs] = timePair(heavyRepetitions,
            { [&] {
                 // A file that is open already would only be selected: each open starts with
                 // the note closed and a blank tab, as after a fresh launch.
                 if (std::exchange(holdsNote, true))
                     m_wispen.closeActiveTab();
                 session.addTab();
                 settle();
             },
                [&] { session.loadFiles({ QUrl::fromLocalFile(note.path) }); } },
            { [this] { m_bare.load(QStringLiteral("x")); },
                [&] {
                    QFile file(note.path);
                    if (file.open(QIODevice::ReadOnly))
                        m_bare.edit()->setPlainText(QString::fromUtf8(file.readAll()));
                } });
        m_report.add(QStringLiteral("open_") + note.label, ours, theirs, 1.2);
        m_wispen.closeActiveTab();
    }

    void boldAll(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        NoteSession &session = m_wispen.session();
        QTextEdit *edit = m_bare.edit();
        bool bold = false;
        const auto [ours, theirs] = timePair(heavyRepetitions,
            { [view] { view->selectAll(); },
                [&] {
                    // What the panel's bold button runs.
                    FormattingActions::toggleTrait(FormattingActions::Trait::Bold, view);
                    session.updateFormattingState();
                    session.refocus();
                } },
            { [edit] { edit->selectAll(); },
                [&] {
                    bold = !bold;
                    QTextCharFormat format;
                    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
                    edit->mergeCurrentCharFormat(format);
                } });
        m_report.add(QStringLiteral("bold_all_") + note.label, ours, theirs, std::nullopt);
        m_wispen.closeActiveTab();
    }

    void finalSave(const Notes &note, const QDir &dir)
    {
        const QString ownCopy = writeNote(dir, QStringLiteral("own.txt"), note.text);
        m_wispen.openInNewTab(ownCopy);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        const QString bareCopy = dir.filePath(QStringLiteral("bare.txt"));
        // Each save has a changed note to write, as after typing.
        const auto [ours, theirs] = timePair(heavyRepetitions,
            { [view] {
                 QTest::keyClick(view, Qt::Key_E);
                 settle();
             },
                [this] { m_wispen.delegate().finalSave(); } },
            { [this] {
                 QTest::keyClick(m_bare.edit(), Qt::Key_E);
                 settle();
             },
                [&] {
                    QSaveFile file(bareCopy);
                    if (file.open(QIODevice::WriteOnly)) {
                        file.write(m_bare.edit()->toPlainText().toUtf8());
                        file.commit();
                    }
                } });
        m_report.add(QStringLiteral("final_save_") + note.label, ours, theirs, std::nullopt);
        m_wispen.closeActiveTab();
    }

    // Typing into a long note writes nothing; the journal's snapshot comes a second later, on
    // its own timer.
    void journalWrites(const Notes &note, const QDir &dir)
    {
        RecoveryJournal journal(m_wispen.session(), dir.filePath(QStringLiteral("journal")));
        m_wispen.openInNewTab(note.path);
        WispenTextView *view = m_wispen.view();
        placeCaret(view, view->document()->characterCount() / 2);
        FileChangeWatch watch({ dir.filePath(QStringLiteral("journal")), dir.path(),
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) });
        int keystrokesThatWrote = 0;
        for (int i = 0; i < perKeyRepetitions; ++i) {
            QTest::keyClick(view, Qt::Key_E);
            // What the keystroke queued for this turn of the event loop, not later timers.
            QCoreApplication::sendPostedEvents();
            keystrokesThatWrote += watch.takeChanges() > 0;
        }
        const QDir entries(dir.filePath(QStringLiteral("journal")), QStringLiteral("*.entry"));
        const bool pendingAfterTyping = journal.isSnapshotPending();
        QTest::qWait(int(RecoveryJournal::snapshotDelay.count()) + 500);
        const bool snapshotWritten = entries.count() == 1 && watch.takeChanges() > 0;
        QTest::keyClick(view, Qt::Key_E);
        QElapsedTimer timer;
        timer.start();
        journal.snapshot();
        const double snapshotMs = timer.nsecsElapsed() / 1e6;
        m_report.addNote(QStringLiteral("journal_10mb keystrokes=%1 keystrokes_with_file_writes=%2 "
                                        "snapshot_pending_after_typing=%3 snapshot_written=%4 "
                                        "snapshot_ms=%5")
                             .arg(perKeyRepetitions)
                             .arg(keystrokesThatWrote)
                             .arg(pendingAfterTyping ? u"yes" : u"no")
                             .arg(snapshotWritten ? u"yes" : u"no")
                             .arg(snapshotMs, 0, 'f', 1));
        m_wispen.closeActiveTab();
    }

private:
    WispenFixture &m_wispen;
    BareFixture &m_bare;
    BenchReport &m_report;
};

void processMeasures(const QString &program, const QString &notePath, BenchReport &report)
{
    using namespace ChildProcess;
    const auto sample = [&](Kind kind, Measure measure, const QString &path) {
        std::vector<double> values;
        for (int i = 0; i < processRepetitions; ++i) {
            if (const auto value = run(program, kind, measure, path))
                values.push_back(*value);
        }
        return values;
    };
    report.add(QStringLiteral("startup"), sample(Kind::Wispen, Measure::Startup, QString()),
        sample(Kind::Bare, Measure::Startup, QString()), 1.5);
    report.add(QStringLiteral("peak_rss_10mb"), sample(Kind::Wispen, Measure::PeakMemory, notePath),
        sample(Kind::Bare, Measure::PeakMemory, notePath), 1.3, QStringLiteral("kib"));
}

} // namespace

int main(int argc, char *argv[])
{
    int childExit = 0;
    if (ChildProcess::runIfChild(argc, argv, childExit))
        return childExit;

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Wispen"));
    QApplication::setApplicationName(QStringLiteral("WispenBench"));
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const Notes small { Prose::generate(Prose::oneMegabyte), {}, QStringLiteral("1mb") };
    const Notes large { Prose::generate(10 * Prose::oneMegabyte), {}, QStringLiteral("10mb") };
    Notes smallNote = small;
    smallNote.path = writeNote(folder, QStringLiteral("note-1mb.txt"), small.text);
    Notes largeNote = large;
    largeNote.path = writeNote(folder, QStringLiteral("note-10mb.txt"), large.text);

    BenchReport report;
    {
        WispenFixture wispen;
        BareFixture bare;
        Bench bench(wispen, bare, report);
        for (const Notes *note : { &smallNote, &largeNote }) {
            bench.keystroke(*note);
            bench.returnOnChecklist(*note);
            bench.toggleGlyph(*note);
        }
        bench.keystrokeWhileSearching(largeNote);
        bench.tabSwitch(largeNote);
        bench.open(largeNote);
        bench.boldAll(largeNote);
        bench.finalSave(largeNote, folder);
        bench.journalWrites(largeNote, folder);
    }
    processMeasures(QCoreApplication::applicationFilePath(), largeNote.path, report);
    return report.finish() ? 0 : 1;
}
