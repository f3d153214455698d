// Measures Wispen's real code paths next to a bare QTextEdit doing the same work, on generated
// notes of 1 MB and 10 MB, and checks the ratios against their budgets.

#include "benchreport.h"
#include "childprocess.h"
#include "editorfixtures.h"
#include "prose.h"

#include "app/appdelegate.h"
#include "autosave/recoveryjournal.h"
#include "editor/wispentextview.h"
#include "formatting/formattingactions.h"
#include "session/notesession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <functional>

namespace {

constexpr int perKeyRepetitions = 101;
constexpr int heavyRepetitions = 11;
constexpr int processRepetitions = 9;

using Action = std::function<void()>;

// Runs prepare (untimed), then action followed by the event loop's follow-up (timed).
std::vector<double> timeRepeatedly(int repetitions, const Action &prepare, const Action &action)
{
    std::vector<double> samples;
    for (int i = 0; i < repetitions; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        action();
        settle();
        samples.push_back(timer.nsecsElapsed() / 1e6);
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
        placeCaret(view, view->document()->characterCount() / 2);
        placeCaret(m_bare.edit(), m_bare.edit()->document()->characterCount() / 2);
        const auto ours = timeRepeatedly(perKeyRepetitions, {}, [view] {
            QTest::keyClick(view, Qt::Key_E);
        });
        const auto theirs = timeRepeatedly(perKeyRepetitions, {}, [this] {
            QTest::keyClick(m_bare.edit(), Qt::Key_E);
        });
        m_report.add(QStringLiteral("keystroke_") + note.label, ours, theirs, 1.3);
        m_wispen.closeActiveTab();
    }

    void returnOnChecklist(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        const auto measure = [](QTextEdit *edit) {
            const QTextBlock item = checklistBlockNearMiddle(edit->document());
            const int end = item.position() + item.length() - 1;
            return timeRepeatedly(
                perKeyRepetitions, [edit, end] { placeCaret(edit, end); },
                [edit] { QTest::keyClick(edit, Qt::Key_Return); });
        };
        const auto ours = measure(m_wispen.view());
        const auto theirs = measure(m_bare.edit());
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
        const auto ours = timeRepeatedly(perKeyRepetitions, {}, [view, point] {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        });
        // The bare editor makes the same one-character change through its cursor.
        QTextEdit *edit = m_bare.edit();
        const int bareGlyph = checklistBlockNearMiddle(edit->document()).position();
        const auto theirs = timeRepeatedly(perKeyRepetitions, {}, [edit, bareGlyph] {
            QTextCursor cursor(edit->document());
            cursor.setPosition(bareGlyph);
            cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            cursor.insertText(cursor.selectedText() == u"☐" ? u"☑"_qs : u"☐"_qs);
        });
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
        const auto ours = timeRepeatedly(
            heavyRepetitions, [&] { session.selectTab(smallTab); settle(); },
            [&] { session.selectTab(noteTab); });
        const auto theirs = timeRepeatedly(
            heavyRepetitions, [this] { m_bare.load(QStringLiteral("x")); },
            [&] { m_bare.edit()->setPlainText(note.text); });
        m_report.add(QStringLiteral("tab_switch_") + note.label, ours, theirs, 1.2);
        m_wispen.closeActiveTab();
        m_wispen.closeActiveTab();
    }

    void open(const Notes &note)
    {
        NoteSession &session = m_wispen.session();
        const auto ours = timeRepeatedly(
            heavyRepetitions, [&] { session.addTab(); settle(); },
            [&] { session.loadFiles({QUrl::fromLocalFile(note.path)}); });
        m_wispen.closeActiveTab();
        for (int i = 1; i < heavyRepetitions; ++i)
            m_wispen.closeActiveTab();
        const auto theirs = timeRepeatedly(
            heavyRepetitions, [this] { m_bare.load(QStringLiteral("x")); },
            [&] {
                QFile file(note.path);
                if (file.open(QIODevice::ReadOnly))
                    m_bare.edit()->setPlainText(QString::fromUtf8(file.readAll()));
            });
        m_report.add(QStringLiteral("open_") + note.label, ours, theirs, 1.2);
    }

    void boldAll(const Notes &note)
    {
        m_wispen.openInNewTab(note.path);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        NoteSession &session = m_wispen.session();
        const auto ours = timeRepeatedly(heavyRepetitions, [view] { view->selectAll(); }, [&] {
            // What the panel's bold button runs.
            FormattingActions::toggleTrait(FormattingActions::Trait::Bold, view);
            session.updateFormattingState();
            session.refocus();
        });
        QTextEdit *edit = m_bare.edit();
        bool bold = false;
        const auto theirs = timeRepeatedly(heavyRepetitions, [edit] { edit->selectAll(); }, [&] {
            bold = !bold;
            QTextCharFormat format;
            format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
            edit->mergeCurrentCharFormat(format);
        });
        m_report.add(QStringLiteral("bold_all_") + note.label, ours, theirs, std::nullopt);
        m_wispen.closeActiveTab();
    }

    void finalSave(const Notes &note, const QDir &dir)
    {
        const QString ownCopy = writeNote(dir, QStringLiteral("own.txt"), note.text);
        m_wispen.openInNewTab(ownCopy);
        m_bare.load(note.text);
        WispenTextView *view = m_wispen.view();
        // Each save has a changed note to write, as after typing.
        const auto ours = timeRepeatedly(
            heavyRepetitions, [view] { QTest::keyClick(view, Qt::Key_E); settle(); },
            [this] { m_wispen.delegate().finalSave(); });
        const QString bareCopy = dir.filePath(QStringLiteral("bare.txt"));
        const auto theirs = timeRepeatedly(
            heavyRepetitions, [this] { QTest::keyClick(m_bare.edit(), Qt::Key_E); settle(); },
            [&] {
                QSaveFile file(bareCopy);
                if (file.open(QIODevice::WriteOnly)) {
                    file.write(m_bare.edit()->toPlainText().toUtf8());
                    file.commit();
                }
            });
        m_report.add(QStringLiteral("final_save_") + note.label, ours, theirs, std::nullopt);
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
    const Notes small{Prose::generate(Prose::oneMegabyte), {}, QStringLiteral("1mb")};
    const Notes large{Prose::generate(10 * Prose::oneMegabyte), {}, QStringLiteral("10mb")};
    Notes smallNote = small;
    smallNote.path = writeNote(folder, QStringLiteral("note-1mb.txt"), small.text);
    Notes largeNote = large;
    largeNote.path = writeNote(folder, QStringLiteral("note-10mb.txt"), large.text);

    BenchReport report;
    {
        WispenFixture wispen;
        BareFixture bare;
        Bench bench(wispen, bare, report);
        for (const Notes *note : {&smallNote, &largeNote}) {
            bench.keystroke(*note);
            bench.returnOnChecklist(*note);
            bench.toggleGlyph(*note);
        }
        bench.tabSwitch(largeNote);
        bench.open(largeNote);
        bench.boldAll(largeNote);
        bench.finalSave(largeNote, folder);
    }
    processMeasures(QCoreApplication::applicationFilePath(), largeNote.path, report);
    return report.finish() ? 0 : 1;
}
