#include "app/appdelegate.h"
#include "autosave/autosavemanager.h"
#include "autosave/writefaults.h"
#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "journal/journalrecovery.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "tabs/contentview.h"
#include "tabs/renamefield.h"
#include "tabs/tabcell.h"
#include "tabs/tabtitlelabel.h"
#include "testfiles.h"
#include "testmain.h"
#include "ui/symbolbutton.h"

#include <QClipboard>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>

// A seeded random walk through what a person does: typing, pasting, selecting, adding,
// selecting and closing tabs by keyboard, closing and renaming them by mouse, files handed
// over, files changed by another program and writes that fail, with several commands posted
// into one turn of the event loop. A model keeps what the person expects of each note; after
// the final save every note that was ever not blank must be on disk in exactly one place with
// its last text, no file may hold another note's text, and no file may have been written
// unless it was edited.
//
// WISPEN_STRESS_SEED replays one seed, WISPEN_STRESS_RUNS sets how many walks are made, and
// WISPEN_STRESS_TRACE prints each step.
class tst_NotesNotLost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomWalksLoseAndMixUpNoNote();
};

namespace {

// One note as the person sees it: a tab's text, tagged at its start so that it can be told
// apart from every other note wherever it lands.
struct ModelNote
{
    QString tag;
    QString text;
    std::optional<QString> file;
    bool edited = false;

    bool mustBeKept() const { return !text.trimmed().isEmpty() && (edited || !file); }
};

class Walk
{
public:
    Walk(quint32 seed, const QString &folder)
        : m_random(seed)
        , m_folder(folder)
        , m_trace(qEnvironmentVariableIsSet("WISPEN_STRESS_TRACE"))
    {
    }

    bool run(int steps)
    {
        m_delegate.setJournal(&m_journal);
        m_model.append({ nextTag(u't'), {}, {}, false });
        m_selected = 0;
        for (int step = 0; step < steps && !QTest::currentTestFailed(); ++step) {
            const int commands = int(m_random.bounded(1, 5));
            for (int i = 0; i < commands; ++i)
                postOneCommand();
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents();
            if (!checkTabs())
                return false;
        }
        m_faults = m_random.bounded(4) == 0;
        applyFaults();
        m_delegate.finalSave();
        WriteFaults::setRule({});
        return checkDisk();
    }

private:
    QString nextTag(QChar kind) { return QStringLiteral("%1%2:").arg(kind).arg(++m_tags); }

    void trace(const QString &what)
    {
        if (m_trace)
            qInfo().noquote() << what;
    }

    template<typename F> void later(F &&command)
    {
        QMetaObject::invokeMethod(&m_content, std::forward<F>(command), Qt::QueuedConnection);
    }

    void postKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
    {
        QWidget *view = m_content.editor()->textView();
        QCoreApplication::postEvent(view, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
        QCoreApplication::postEvent(view, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
    }

    ModelNote &selected() { return m_model[m_selected]; }

    // The person's text always starts with the note's tag, so that each note stays unique.
    void typeAtEnd(const QString &text)
    {
        if (selected().text.isEmpty()) {
            // A fresh note: its tag first.
            for (const QChar c : selected().tag)
                postKey(Qt::Key_unknown, {}, QString(c));
            selected().text = selected().tag;
        }
        postKey(Qt::Key_End, Qt::ControlModifier);
        for (const QChar c : text) {
            if (c == u'\n')
                postKey(Qt::Key_Return);
            else
                postKey(Qt::Key_unknown, {}, QString(c));
        }
        selected().text += text;
        selected().edited = true;
    }

    void postOneCommand()
    {
        const int choice = int(m_random.bounded(100));
        if (choice < 35) {
            const QString words[] = { u"milk "_qs, u"x"_qs, u"\n"_qs, u"é ☐"_qs, u"plan\nb"_qs };
            const QString &text = words[m_random.bounded(5)];
            trace(u"type %1 into %2"_qs.arg(text, selected().tag));
            typeAtEnd(text);
        } else if (choice < 40) {
            const QString pasted = u"pasted %1\r\nlines"_qs.arg(m_random.bounded(100));
            trace(u"paste into "_qs + selected().tag);
            later([pasted] { QGuiApplication::clipboard()->setText(pasted); });
            typeAtEnd({});
            postKey(Qt::Key_V, Qt::ControlModifier);
            selected().text += QString(pasted).replace(u"\r\n"_qs, u"\n"_qs);
        } else if (choice < 45) {
            // Shift+Home from the end selects the last line, which the next letter replaces.
            const qsizetype lineStart = selected().text.lastIndexOf(u'\n') + 1;
            if (lineStart <= selected().tag.size())
                return;
            trace(u"replace the last line of "_qs + selected().tag);
            postKey(Qt::Key_End, Qt::ControlModifier);
            postKey(Qt::Key_Home, Qt::ShiftModifier);
            postKey(Qt::Key_unknown, {}, u"r"_qs);
            selected().text = selected().text.first(lineStart) + u"r"_qs;
            selected().edited = true;
        } else if (choice < 50) {
            if (selected().text.size() <= selected().tag.size())
                return;
            trace(u"backspace in "_qs + selected().tag);
            postKey(Qt::Key_End, Qt::ControlModifier);
            postKey(Qt::Key_Backspace);
            selected().text.chop(1);
            selected().edited = true;
        } else if (choice < 60) {
            trace(u"add a tab"_qs);
            later([this] { m_content.addTab(); });
            m_model.append({ nextTag(u't'), {}, {}, false });
            m_selected = m_model.size() - 1;
        } else if (choice < 68) {
            trace(u"close "_qs + selected().tag);
            later([this] { m_content.closeSelectedTab(); });
            closeModelTab(m_selected);
        } else if (choice < 80) {
            const int offset = m_random.bounded(2) ? 1 : -1;
            trace(u"select the tab at %1"_qs.arg(offset));
            later([this, offset] { m_content.selectTabAtOffset(offset); });
            const qsizetype count = m_model.size();
            m_selected = ((m_selected + offset) % count + count) % count;
        } else if (choice < 85) {
            clickATab();
        } else if (choice < 91) {
            handOverAFile();
        } else if (choice < 95) {
            changeAFileElsewhere();
        } else if (choice < 98) {
            m_faults = !m_faults;
            trace(m_faults ? u"writes fail from here"_qs : u"writes work again"_qs);
            later([this, faults = m_faults] {
                m_faults = faults;
                applyFaults();
            });
        } else {
            trace(u"snapshot"_qs);
            later([this] { m_journal.snapshot(); });
        }
    }

    // As the session does: the left neighbour takes the selection, a blank tab the last place.
    void closeModelTab(qsizetype index)
    {
        const bool wasSelected = index == m_selected;
        m_closed.append(m_model.takeAt(index));
        if (m_model.isEmpty()) {
            m_model.append({ nextTag(u't'), {}, {}, false });
            m_selected = 0;
        } else if (wasSelected || index < m_selected) {
            m_selected = std::max<qsizetype>(m_selected - 1, 0);
        }
    }

    // A click on a tab's close button or a double click on its title, on its own turn, since
    // the strip shows new tabs only after a refresh. A single click on a title selects only
    // once the time for a double click is over; tst_tabstrip waits for that.
    void clickATab()
    {
        QCoreApplication::processEvents();
        const qsizetype index = m_random.bounded(int(m_model.size()));
        const QUuid id = m_session.tabs().value(index).id;
        TabCell *cell = m_content.cell(id);
        if (!cell)
            return;
        if (m_random.bounded(2)) {
            trace(u"click the close button of "_qs + m_model.at(index).tag);
            QTest::mouseClick(cell->closeButton(), Qt::LeftButton);
            closeModelTab(index);
            return;
        }
        // Renaming by a double click, typing and Return; the title names the desktop file.
        trace(u"rename "_qs + m_model.at(index).tag);
        QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
            Qt::LeftButton, {});
        QApplication::sendEvent(cell->hitView(), &twice);
        QCoreApplication::processEvents();
        if (RenameField *field = cell->renameField()) {
            QTest::keyClicks(field, u"Name %1"_qs.arg(m_random.bounded(3)));
            QTest::keyClick(field, Qt::Key_Return);
        }
        QCoreApplication::processEvents();
    }

    // Begins a turn: what the file holds when it is read depends on the commands before it.
    void handOverAFile()
    {
        QCoreApplication::processEvents();
        const int number = m_files.size() < 4 && m_random.bounded(2)
            ? int(m_files.size())
            : int(m_random.bounded(int(m_files.size()) + 1));
        if (number == m_files.size()) {
            const QString path = QDir(m_folder).filePath(u"f%1.txt"_qs.arg(number));
            const QString text = nextTag(u'f') + u" from disk\nsecond line"_qs;
            if (!TestFiles::write(path, text.toUtf8()))
                qFatal("cannot write %s", qPrintable(path));
            m_files.append(path);
            m_fileTags.append(text.section(u' ', 0, 0));
        }
        const QString path = m_files.at(number);
        trace(u"hand over "_qs + path);
        later([this, path] { m_delegate.openFiles({ QUrl::fromLocalFile(path) }); });
        for (qsizetype i = 0; i < m_model.size(); ++i) {
            if (m_model.at(i).file == path) {
                m_selected = i;
                return;
            }
        }
        const QString onDisk = QString::fromUtf8(TestFiles::contents(path));
        ModelNote loaded { onDisk.section(u' ', 0, 0), onDisk, path, false };
        ModelNote &replaced = selected();
        const bool holdsIt = replaced.file && TestFiles::contents(*replaced.file) == replaced.text;
        if (replaced.mustBeKept() && m_faults && !holdsIt) {
            m_model.append(loaded);
            m_selected = m_model.size() - 1;
        } else {
            m_closed.append(replaced);
            replaced = loaded;
        }
    }

    void changeAFileElsewhere()
    {
        if (m_files.isEmpty())
            return;
        const qsizetype number = m_random.bounded(int(m_files.size()));
        // Another program is not bound to Wispen's turns: it writes now, after what is queued.
        QCoreApplication::processEvents();
        const QString text = u"x%1: written by another program, %2"_qs.arg(number).arg(++m_tags);
        trace(u"another program writes "_qs + m_files.at(number));
        TestFiles::write(m_files.at(number), text.toUtf8());
        m_changedElsewhere.insert(m_files.at(number));
    }

    void applyFaults()
    {
        // Every place a note may go refuses it; the journal's own folder does not.
        const QString journal = m_journalFolder;
        WriteFaults::setRule(m_faults
                ? std::function<bool(const QString &)>(
                    [journal](const QString &path) { return !path.startsWith(journal); })
                : std::function<bool(const QString &)>());
    }

    // Between turns: each tab holds its own note, and the view shows the selected one.
    bool checkTabs()
    {
        const QList<EditorTab> &tabs = m_session.tabs();
        if (tabs.size() != m_model.size()) {
            qWarning() << "expected" << m_model.size() << "tabs, found" << tabs.size();
            return false;
        }
        for (qsizetype i = 0; i < tabs.size(); ++i) {
            if (tabs.at(i).cachedText != m_model.at(i).text) {
                qWarning() << "tab" << i << "holds" << tabs.at(i).cachedText << "instead of"
                           << m_model.at(i).text;
                return false;
            }
        }
        if (m_session.selectedTabId() != tabs.at(m_selected).id) {
            qWarning() << "tab" << m_selected << "should be selected";
            return false;
        }
        return m_content.editor()->textView()->plainText() == m_model.at(m_selected).text;
    }

    bool checkDisk()
    {
        QStringList places;
        for (const QString &folder : { TestFiles::desktop(), AutoSaveManager::recoveredFolder() }) {
            QDirIterator files(folder, QDir::Files);
            while (files.hasNext())
                places << QString::fromUtf8(TestFiles::contents(files.next()));
        }
        for (const QString &file : std::as_const(m_files))
            places << QString::fromUtf8(TestFiles::contents(file));
        QDirIterator entries(m_journalFolder, QDir::Files);
        while (entries.hasNext()) {
            if (const auto entry = JournalRecovery::readEntry(entries.next()))
                places << entry->text;
        }
        bool good = true;
        // Notes can come to the same text (a file edited the same way twice): each text is
        // counted once, against the notes that hold it.
        const QList<ModelNote> notes = m_closed + m_model;
        QHash<QString, std::pair<int, int>> expected; // text: notes that must be found, may be
        for (qsizetype i = 0; i < notes.size(); ++i) {
            const ModelNote &note = notes.at(i);
            if (!note.mustBeKept())
                continue;
            // A later note of the same file, or another program, may have replaced this one
            // there: it need not be found, but never twice.
            const bool superseded = note.file
                && ((i < m_closed.size() && m_changedElsewhere.contains(*note.file))
                    || std::any_of(notes.cbegin() + i + 1, notes.cend(),
                        [&note](const ModelNote &later) { return later.file == note.file; }));
            auto &[required, allowed] = expected[note.text];
            required += superseded ? 0 : 1;
            allowed += 1;
        }
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const qsizetype found = places.count(it.key());
            if (found < it->first || found > it->second) {
                qWarning() << "a note is in" << found << "places:" << it.key();
                good = false;
            }
        }
        // Source files hold their own note, or another program's text, and nothing else.
        for (qsizetype i = 0; i < m_files.size(); ++i) {
            const QString text = QString::fromUtf8(TestFiles::contents(m_files.at(i)));
            if (!text.startsWith(m_fileTags.at(i)) && !text.startsWith(u"x%1:"_qs.arg(i))) {
                qWarning() << m_files.at(i) << "holds" << text;
                good = false;
            }
        }
        return good;
    }

    QRandomGenerator m_random;
    QString m_folder;
    bool m_trace = false;
    QString m_journalFolder = RecoveryJournal::defaultFolder();
    NoteSession m_session;
    AppDelegate m_delegate { m_session };
    RecoveryJournal m_journal { m_session, m_journalFolder };
    ContentView m_content { m_session };
    QList<ModelNote> m_model;
    QList<ModelNote> m_closed;
    qsizetype m_selected = 0;
    QStringList m_files;
    QStringList m_fileTags;
    QSet<QString> m_changedElsewhere;
    int m_tags = 0;
    bool m_faults = false;
};

void resetDisk()
{
    for (const QString &folder : { TestFiles::desktop(), AutoSaveManager::recoveredFolder(),
             RecoveryJournal::defaultFolder() })
        QDir(folder).removeRecursively();
}

} // namespace

void tst_NotesNotLost::randomWalksLoseAndMixUpNoNote()
{
    const bool replay = qEnvironmentVariableIsSet("WISPEN_STRESS_SEED");
    const quint32 firstSeed = replay ? qEnvironmentVariable("WISPEN_STRESS_SEED").toUInt()
                                     : QRandomGenerator::global()->generate();
    const int runs = replay ? 1 : std::max(qEnvironmentVariableIntValue("WISPEN_STRESS_RUNS"), 1);
    for (int run = 0; run < runs; ++run) {
        const quint32 seed = firstSeed + quint32(run);
        resetDisk();
        const QTemporaryDir folder;
        Walk walk(seed, folder.path());
        const bool good = walk.run(40);
        if (!good || QTest::currentTestFailed())
            QFAIL(qPrintable(u"seed %1 failed; replay with WISPEN_STRESS_SEED=%1"_qs.arg(seed)));
    }
    qInfo("%d walks from seed %u", runs, firstSeed);
}

WISPEN_TEST_MAIN(tst_NotesNotLost)
#include "tst_notesnotlost.moc"
