// Measures Wispen's real code paths next to a bare QPlainTextEdit doing the same work, and a
// bare QTextEdit where that finishes in reasonable time, on generated notes of 1 KB, 1 MB,
// 10 MB and 100 MB, and checks each measure against its budget.

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
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <functional>

namespace {

using Statistic = BenchMeasure::Statistic;
using Action = std::function<void()>;

// Lets the event loop run without waiting for anything, as the rest of a key press would.
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

// Times the editors turn about, so that drift over the run hits each alike. A step without an
// action is left out.
struct Samples
{
    std::vector<double> wispen, plain, rich;
};

Samples timeTurns(int repetitions, const Step &wispen, const Step &plain, const Step &rich)
{
    Samples samples;
    for (int i = 0; i < repetitions; ++i) {
        samples.wispen.push_back(timeOnce(wispen));
        samples.plain.push_back(timeOnce(plain));
        if (rich.action)
            samples.rich.push_back(timeOnce(rich));
    }
    return samples;
}

// Each frame's better time of two passes over the same frames. A frame slow by an editor's own
// work is slow on both passes; a stall of the machine's seldom hits the same frame twice. (On
// the VMs this bench runs on, paging through 100 MB now and then takes 10 to 40 ms of kernel
// time in the window's thread, in a bare QPlainTextEdit as often as in Wispen.)
Samples betterOfTwo(Samples first, const Samples &second)
{
    const auto better = [](std::vector<double> &ours, const std::vector<double> &again) {
        for (size_t i = 0; i < std::min(ours.size(), again.size()); ++i)
            ours[i] = std::min(ours[i], again[i]);
    };
    better(first.wispen, second.wispen);
    better(first.plain, second.plain);
    better(first.rich, second.rich);
    return first;
}

template<typename Edit> void placeCaret(Edit *edit, int position)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(position);
    edit->setTextCursor(cursor);
}

// The first checklist line at or after the middle of the document, else the last before it.
QTextBlock checklistBlockNearMiddle(QTextDocument *document)
{
    const auto isItem = [](const QTextBlock &block) { return block.text().startsWith(u"☐ "); };
    const QTextBlock middle = document->findBlock(document->characterCount() / 2);
    for (QTextBlock block = middle; block.isValid(); block = block.next()) {
        if (isItem(block))
            return block;
    }
    for (QTextBlock block = middle; block.isValid(); block = block.previous()) {
        if (isItem(block))
            return block;
    }
    return {};
}

QString writeNote(const QDir &dir, const QString &name, const QString &text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    return path;
}

struct Note
{
    QString label; // "1kb", "1mb", "10mb" or "100mb"
    QString text;
    QString path;
    bool withRich = true; // a bare QTextEdit takes seconds a step at 100 MB
    bool isLarge = false;
    int keyRepetitions = 101;
    int heavyRepetitions = 11;
    // The sizes the targets are set at.
    bool isTen() const { return label == u"10mb"; }
    bool isHundred() const { return label == u"100mb"; }
};

class Bench
{
public:
    Bench(WispenFixture &wispen, PlainBaseline &plain, RichBaseline &rich, BenchReport &report)
        : m_wispen(wispen)
        , m_plain(plain)
        , m_rich(rich)
        , m_report(report)
    {
    }

    // Holds the note in every editor of the comparison, caret mid-note, until it ends.
    struct Loaded
    {
        Bench &bench;
        const Note &note;
        Loaded(Bench &bench, const Note &note)
            : bench(bench)
            , note(note)
        {
            bench.m_wispen.openInNewTab(note.path);
            bench.m_plain.load(note.text);
            bench.m_rich.load(note.withRich ? note.text : QStringLiteral("x"));
        }
        ~Loaded()
        {
            bench.m_wispen.closeActiveTab();
            bench.m_plain.load(QStringLiteral("x"));
            bench.m_rich.load(QStringLiteral("x"));
        }
    };

    WispenTextView *view() const { return m_wispen.view(); }
    QPlainTextEdit *plain() const { return m_plain.edit(); }
    QTextEdit *rich() const { return m_rich.edit(); }

    // The same action for every editor, or none for the bare QTextEdit at 100 MB.
    template<typename F> Samples forEach(const Note &note, int repetitions, F &&make)
    {
        return timeTurns(
            repetitions, make(view()), make(plain()), note.withRich ? make(rich()) : Step {});
    }

    void add(const QString &measure, const Note &note, Samples samples,
        std::optional<double> ratioBudget, std::optional<double> limit = std::nullopt,
        Statistic statistic = Statistic::Median, const QString &unit = QStringLiteral("ms"))
    {
        m_report.add(
            { measure + u'_' + note.label, std::move(samples.wispen), std::move(samples.plain),
                std::move(samples.rich), ratioBudget, limit, statistic, unit });
    }

    // A letter typed mid-note: at most twice the plain editor's, and under a millisecond at
    // 10 MB, since the cost must not grow with the note.
    void keystroke(const Note &note)
    {
        const Loaded loaded(*this, note);
        const auto typing = [](auto *edit) {
            placeCaret(edit, edit->document()->characterCount() / 2);
            return Step { {}, [edit] { QTest::keyClick(edit, Qt::Key_E); } };
        };
        add(QStringLiteral("keystroke"), note, forEach(note, note.keyRepetitions, typing), 2.0,
            note.isTen() ? std::optional(1.0) : std::nullopt);
    }

    // Return at the end of a checklist item, which continues the list; the bare editors make
    // the same change, a line break and the new item's prefix.
    void returnOnChecklist(const Note &note)
    {
        const Loaded loaded(*this, note);
        const auto caretAtItemEnd = [](auto *edit) {
            const QTextBlock item = checklistBlockNearMiddle(edit->document());
            const int end = item.position() + item.length() - 1;
            return [edit, end] { placeCaret(edit, end); };
        };
        const Samples samples = timeTurns(note.keyRepetitions,
            { caretAtItemEnd(view()), [view = view()] { QTest::keyClick(view, Qt::Key_Return); } },
            { caretAtItemEnd(plain()),
                [edit = plain()] { edit->textCursor().insertText(u"\n☐ "_qs); } },
            note.withRich ? Step { caretAtItemEnd(rich()),
                [edit = rich()] { edit->textCursor().insertText(u"\n☐ "_qs); } }
                          : Step {});
        add(QStringLiteral("return_checklist"), note, samples, 2.0,
            note.isTen() ? std::optional(1.0) : std::nullopt);
    }

    // A click on a check box glyph. The bare editors do what a tick needs of them: the same
    // click, which places the caret, and the same one-character change.
    void toggleGlyph(const Note &note)
    {
        const Loaded loaded(*this, note);
        const auto glyphPoint = [](auto *edit) {
            const int glyph = checklistBlockNearMiddle(edit->document()).position();
            placeCaret(edit, glyph);
            edit->ensureCursorVisible();
            settle();
            QTextCursor atGlyph(edit->document());
            atGlyph.setPosition(glyph);
            return std::pair { glyph, edit->cursorRect(atGlyph).center() + QPoint(3, 0) };
        };
        const auto click = [](QWidget *viewport, QPoint point) {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        };
        const auto toggle = [&](auto *edit) {
            const auto [at, point] = glyphPoint(edit);
            return Step { {}, [edit, at, point, click] {
                             click(edit->viewport(), point);
                             QTextCursor cursor(edit->document());
                             cursor.setPosition(at);
                             cursor.movePosition(
                                 QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
                             cursor.insertText(cursor.selectedText() == u"☐" ? u"☑"_qs : u"☐"_qs);
                         } };
        };
        WispenTextView *ours = view();
        const QPoint point = glyphPoint(ours).second;
        const Samples samples = timeTurns(note.keyRepetitions,
            { {}, [ours, point, click] { click(ours->viewport(), point); } }, toggle(plain()),
            note.withRich ? toggle(rich()) : Step {});
        add(QStringLiteral("toggle_glyph"), note, samples, 2.0,
            note.isTen() ? std::optional(1.0) : std::nullopt);
    }

    // Typing with the find bar open on a common word: the search must never hold a key up.
    void keystrokeWhileSearching(const Note &note)
    {
        const Loaded loaded(*this, note);
        FindController find(view());
        find.setSearch(QStringLiteral("the"), {});
        find.setActive(true);
        while (!find.isSettled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const auto typing = [](auto *edit) {
            placeCaret(edit, edit->document()->characterCount() / 2);
            return Step { {}, [edit] { QTest::keyClick(edit, Qt::Key_E); } };
        };
        add(QStringLiteral("keystroke_while_finding"), note,
            forEach(note, note.keyRepetitions, typing), 2.0);
        // Every match of the word, found away from the window's thread, against the bare
        // editor's own search through its document on the window's thread.
        Samples found;
        for (int i = 0; i < note.heavyRepetitions; ++i) {
            const QString word = i % 2 ? QStringLiteral("the") : QStringLiteral("The");
            QElapsedTimer timer;
            timer.start();
            find.setSearch(word, { true, false });
            while (!find.isSettled())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            found.wispen.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            QTextCursor cursor(plain()->document());
            while (!(cursor
                = plain()->document()->find(word, cursor, QTextDocument::FindCaseSensitively))
                        .isNull()) { }
            found.plain.push_back(timer.nsecsElapsed() / 1e6);
        }
        add(QStringLiteral("find_all"), note, found, std::nullopt);
    }

    // Selecting the tab that holds the note, from a small one: the bare editors take the text
    // in whole and paint it. At most 1.2 times the plain editor from 10 MB on.
    void tabSwitch(const Note &note)
    {
        NoteSession &session = m_wispen.session();
        m_wispen.openInNewTab(note.path);
        const QUuid noteTab = session.selectedTabId();
        session.addTab();
        const QUuid smallTab = session.selectedTabId();
        settle();
        const auto reload = [&note](auto *edit) {
            return Step { [edit] { edit->setPlainText(QStringLiteral("x")); },
                [edit, &note] { edit->setPlainText(note.text); } };
        };
        const Samples samples = timeTurns(note.heavyRepetitions,
            { [&] { session.selectTab(smallTab); }, [&] { session.selectTab(noteTab); } },
            reload(plain()), note.withRich ? reload(rich()) : Step {});
        add(QStringLiteral("tab_switch"), note, samples,
            note.isLarge ? std::optional(1.2) : std::nullopt);
        m_wispen.closeActiveTab();
        m_wispen.closeActiveTab();
        plain()->setPlainText(QStringLiteral("x"));
        rich()->setPlainText(QStringLiteral("x"));
    }

    // Opening the file into a fresh tab, as after a launch; the bare editors read it and
    // paint it.
    void open(const Note &note)
    {
        NoteSession &session = m_wispen.session();
        bool holdsNote = false;
        const auto readAndShow = [&note](auto *edit) {
            return Step { [edit] { edit->setPlainText(QStringLiteral("x")); },
                [edit, &note] {
                    QFile file(note.path);
                    if (file.open(QIODevice::ReadOnly))
                        edit->setPlainText(QString::fromUtf8(file.readAll()));
                } };
        };
        const Samples samples = timeTurns(note.heavyRepetitions,
            { [&] {
                 // A file that is open already would only be selected: each open starts with
                 // the note closed and a blank tab.
                 if (std::exchange(holdsNote, true))
                     m_wispen.closeActiveTab();
                 session.addTab();
             },
                [&] { session.loadFiles({ QUrl::fromLocalFile(note.path) }); } },
            readAndShow(plain()), note.withRich ? readAndShow(rich()) : Step {});
        add(QStringLiteral("open"), note, samples,
            note.isLarge ? std::optional(1.2) : std::nullopt);
        m_wispen.closeActiveTab();
        plain()->setPlainText(QStringLiteral("x"));
        rich()->setPlainText(QStringLiteral("x"));
    }

    // Select all, then the panel's bold button; at most 300 ms at 10 MB.
    void boldAll(const Note &note)
    {
        const Loaded loaded(*this, note);
        NoteSession &session = m_wispen.session();
        bool bold = false;
        const auto bareBold = [&bold](auto *edit) {
            return Step { [edit] { edit->selectAll(); },
                [edit, &bold] {
                    bold = !bold;
                    QTextCharFormat format;
                    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
                    edit->mergeCurrentCharFormat(format);
                } };
        };
        const Samples samples = timeTurns(note.heavyRepetitions,
            { [view = view()] { view->selectAll(); },
                [&, view = view()] {
                    FormattingActions::toggleTrait(FormattingActions::Trait::Bold, view);
                    session.updateFormattingState();
                    session.refocus();
                } },
            bareBold(plain()), note.withRich ? bareBold(rich()) : Step {});
        add(QStringLiteral("bold_all"), note, samples, std::nullopt,
            note.isTen() ? std::optional(300.0) : std::nullopt);
    }

    // Paging down from the top, and dragging the scroll bar from the top to the bottom: each
    // step with its repaint is one frame, and the worst frame must stay under 16 ms.
    void scrolling(const Note &note)
    {
        const Loaded loaded(*this, note);
        const auto pageDown = [](auto *edit) {
            return [edit] {
                placeCaret(edit, 0);
                edit->verticalScrollBar()->setValue(0);
                settle();
                std::vector<double> frames;
                QScrollBar *bar = edit->verticalScrollBar();
                for (int page = 0; page < 4000 && bar->value() < bar->maximum(); ++page) {
                    QElapsedTimer timer;
                    timer.start();
                    QTest::keyClick(edit, Qt::Key_PageDown);
                    edit->viewport()->repaint();
                    frames.push_back(timer.nsecsElapsed() / 1e6);
                }
                return frames;
            };
        };
        const auto drag = [](auto *edit) {
            return [edit] {
                QScrollBar *bar = edit->verticalScrollBar();
                bar->setValue(0);
                settle();
                std::vector<double> frames;
                bar->setSliderDown(true);
                for (int step = 1; step <= 200; ++step) {
                    QElapsedTimer timer;
                    timer.start();
                    bar->setSliderPosition(int(qint64(bar->maximum()) * step / 200));
                    edit->viewport()->repaint();
                    frames.push_back(timer.nsecsElapsed() / 1e6);
                }
                bar->setSliderDown(false);
                return frames;
            };
        };
        // Both measures on the note loaded afresh, so that each pass starts from the same state.
        const auto pass = [&] {
            const Loaded loaded(*this, note);
            const auto framesOfEach = [&](auto &&frames) {
                return Samples { frames(view())(), frames(plain())(),
                    note.withRich ? frames(rich())() : std::vector<double> {} };
            };
            return std::pair { framesOfEach(pageDown), framesOfEach(drag) };
        };
        const auto [paging, dragging] = pass();
        const auto [pagingAgain, draggingAgain] = pass();
        add(QStringLiteral("page_down_worst_frame"), note, betterOfTwo(paging, pagingAgain),
            std::nullopt, 16.0, Statistic::Worst);
        add(QStringLiteral("scroll_bar_drag_worst_frame"), note,
            betterOfTwo(dragging, draggingAgain), std::nullopt, 16.0, Statistic::Worst);
    }

    // The longest the window's thread is held by the journal: what its timer runs after
    // typing (the first round also hands over the note's base), and the keystroke right after
    // it, against a keystroke of the plain editor. Under 16 ms at every size.
    void journalStall(const Note &note, const QDir &dir)
    {
        const Loaded loaded(*this, note);
        const QString folder = dir.filePath(QStringLiteral("journal-") + note.label);
        RecoveryJournal journal(m_wispen.session(), folder);
        WispenTextView *ours = view();
        placeCaret(ours, ours->document()->characterCount() / 2);
        placeCaret(plain(), plain()->document()->characterCount() / 2);
        Samples samples;
        for (int round = 0; round < 5; ++round) {
            for (int key = 0; key < 20; ++key)
                QTest::keyClick(ours, Qt::Key_E);
            settle();
            QElapsedTimer timer;
            timer.start();
            journal.recordChanges();
            const double recorded = timer.nsecsElapsed() / 1e6;
            timer.restart();
            QTest::keyClick(ours, Qt::Key_E);
            const double nextKey = timer.nsecsElapsed() / 1e6;
            samples.wispen.push_back(std::max(recorded, nextKey));
            // The disk work of the journal's own thread is not the window's.
            journal.waitForDisk();
            samples.plain.push_back(
                timeOnce({ {}, [edit = plain()] { QTest::keyClick(edit, Qt::Key_E); } }));
        }
        add(QStringLiteral("journal_stall"), note, samples, std::nullopt, 16.0, Statistic::Worst);
    }

    // Typing into a long note writes nothing; the journal writes on its own timer.
    void journalWrites(const Note &note, const QDir &dir)
    {
        const Loaded loaded(*this, note);
        const QString folder = dir.filePath(QStringLiteral("journal"));
        RecoveryJournal journal(m_wispen.session(), folder);
        WispenTextView *ours = view();
        placeCaret(ours, ours->document()->characterCount() / 2);
        FileChangeWatch watch({ folder, dir.path(),
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) });
        int keystrokesThatWrote = 0;
        for (int i = 0; i < note.keyRepetitions; ++i) {
            QTest::keyClick(ours, Qt::Key_E);
            // What the keystroke queued for this turn of the event loop, not later timers.
            QCoreApplication::sendPostedEvents();
            keystrokesThatWrote += watch.takeChanges() > 0;
        }
        const bool pendingAfterTyping = journal.isSnapshotPending();
        QTest::qWait(int(RecoveryJournal::snapshotDelay.count()) + 500);
        const bool snapshotWritten = watch.takeChanges() > 0;
        m_report.addNote(QStringLiteral("journal_writes_%1 keystrokes=%2 "
                                        "keystrokes_with_file_writes=%3 "
                                        "snapshot_pending_after_typing=%4 snapshot_written=%5")
                             .arg(note.label)
                             .arg(note.keyRepetitions)
                             .arg(keystrokesThatWrote)
                             .arg(pendingAfterTyping ? u"yes" : u"no")
                             .arg(snapshotWritten ? u"yes" : u"no"));
    }

    void finalSave(const Note &note, const QDir &dir)
    {
        const QString ownCopy = writeNote(dir, QStringLiteral("own.txt"), note.text);
        m_wispen.openInNewTab(ownCopy);
        m_plain.load(note.text);
        const QString bareCopy = dir.filePath(QStringLiteral("bare.txt"));
        // Each save has a changed note to write, as after typing.
        const Samples samples = timeTurns(note.heavyRepetitions,
            { [view = view()] { QTest::keyClick(view, Qt::Key_E); },
                [this] { m_wispen.delegate().finalSave(); } },
            { [edit = plain()] { QTest::keyClick(edit, Qt::Key_E); },
                [&] {
                    QSaveFile file(bareCopy);
                    if (file.open(QIODevice::WriteOnly)) {
                        file.write(plain()->toPlainText().toUtf8());
                        file.commit();
                    }
                } },
            {});
        add(QStringLiteral("final_save"), note, samples, std::nullopt);
        m_wispen.closeActiveTab();
        m_plain.load(QStringLiteral("x"));
    }

private:
    WispenFixture &m_wispen;
    PlainBaseline &m_plain;
    RichBaseline &m_rich;
    BenchReport &m_report;
};

constexpr int processRepetitions = 9;

void processMeasures(const QString &program, const QList<Note> &notes, BenchReport &report,
    const std::function<bool(const char *)> &wanted)
{
    using namespace ChildProcess;
    const auto sample = [&](Kind kind, Measure measure, const QString &path, int repetitions) {
        std::vector<double> values;
        for (int i = 0; i < repetitions; ++i) {
            if (const auto value = run(program, kind, measure, path))
                values.push_back(*value);
        }
        return values;
    };
    // To the first painted window: at most 1.3 times a bare window of the toolkit. The three
    // start turn about, so that the machine's drift over the run hits each alike.
    BenchMeasure startup { QStringLiteral("startup") };
    startup.ratioBudget = 1.3;
    for (int i = 0; i < processRepetitions; ++i) {
        for (auto [kind, values] : { std::pair { Kind::Wispen, &startup.wispen },
                 std::pair { Kind::Plain, &startup.plain },
                 std::pair { Kind::Rich, &startup.rich } })
            std::ranges::copy(sample(kind, Measure::Startup, {}, 1), std::back_inserter(*values));
    }
    report.add(startup);
    // Started with the note as its file: at most 1.3 times the plain editor at 100 MB.
    for (const Note &note : notes) {
        if (!wanted("peak_rss"))
            break;
        const int repetitions = note.isHundred() ? 3 : processRepetitions;
        report.add({ QStringLiteral("peak_rss_") + note.label,
            sample(Kind::Wispen, Measure::PeakMemory, note.path, repetitions),
            sample(Kind::Plain, Measure::PeakMemory, note.path, repetitions),
            note.withRich ? sample(Kind::Rich, Measure::PeakMemory, note.path, repetitions)
                          : std::vector<double> {},
            note.isHundred() ? std::optional(1.3) : std::nullopt, std::nullopt, Statistic::Median,
            QStringLiteral("kib") });
    }
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
    // WISPEN_BENCH_SIZES=1kb,10mb measures only those sizes.
    const QStringList only
        = qEnvironmentVariable("WISPEN_BENCH_SIZES").split(u',', Qt::SkipEmptyParts);
    QList<Note> notes;
    for (const auto &[label, bytes] :
        { std::pair { u"1kb"_qs, qsizetype(1024) }, std::pair { u"1mb"_qs, Prose::oneMegabyte },
            std::pair { u"10mb"_qs, 10 * Prose::oneMegabyte },
            std::pair { u"100mb"_qs, 100 * Prose::oneMegabyte } }) {
        if (!only.isEmpty() && !only.contains(label))
            continue;
        Note note;
        note.label = label;
        note.text = Prose::generate(bytes);
        note.path = writeNote(folder, u"note-"_qs + label + u".txt"_qs, note.text);
        note.isLarge = bytes >= 10 * Prose::oneMegabyte;
        if (bytes >= 100 * Prose::oneMegabyte) {
            note.withRich = false;
            note.keyRepetitions = 31;
            note.heavyRepetitions = 5;
        }
        notes.append(note);
    }

    // WISPEN_BENCH_ONLY=keystroke,bold_all,peak_rss runs only those measures.
    const QStringList measures
        = qEnvironmentVariable("WISPEN_BENCH_ONLY").split(u',', Qt::SkipEmptyParts);
    const auto wanted = [&measures](const char *name) {
        return measures.isEmpty() || measures.contains(QLatin1String(name));
    };
    BenchReport report;
    {
        WispenFixture wispen;
        PlainBaseline plain;
        RichBaseline rich;
        Bench bench(wispen, plain, rich, report);
        using Measure = std::function<void(const Note &)>;
        const std::pair<const char *, Measure> perNote[] {
            { "keystroke", [&](const Note &note) { bench.keystroke(note); } },
            { "return_checklist", [&](const Note &note) { bench.returnOnChecklist(note); } },
            { "toggle_glyph", [&](const Note &note) { bench.toggleGlyph(note); } },
            { "keystroke_while_finding",
                [&](const Note &note) { bench.keystrokeWhileSearching(note); } },
            { "tab_switch", [&](const Note &note) { bench.tabSwitch(note); } },
            { "open", [&](const Note &note) { bench.open(note); } },
            { "bold_all", [&](const Note &note) { bench.boldAll(note); } },
            { "scrolling", [&](const Note &note) { bench.scrolling(note); } },
            { "journal_stall", [&](const Note &note) { bench.journalStall(note, folder); } },
            // Measured at 10 MB only.
            { "journal_writes",
                [&](const Note &note) {
                    if (note.isTen())
                        bench.journalWrites(note, folder);
                } },
            { "final_save",
                [&](const Note &note) {
                    if (note.isTen())
                        bench.finalSave(note, folder);
                } },
        };
        for (const Note &note : std::as_const(notes)) {
            for (const auto &[name, measure] : perNote) {
                if (wanted(name))
                    measure(note);
            }
        }
    }
    processMeasures(QCoreApplication::applicationFilePath(), notes, report, wanted);
    return report.finish() ? 0 : 1;
}
