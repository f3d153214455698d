#include "app/appdelegate.h"
#include "autosave/autosavemanager.h"
#include "editor/wispentextview.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using TestFiles::desktop;
using TestFiles::desktopFiles;

class tst_AppDelegate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void theActiveNoteIsDateNamedAndTheOthersGoWhereClosingWouldPutThem();
    void aBlankActiveTabNoLongerKeepsTheOtherTabsFromBeingSaved();
    void aTabFromAFileIsWrittenBackToIt();
    void runningTwiceWritesNoSecondCopyEvenAMinuteLater();
    void runningAgainAfterAnEditWritesTheNewText();
    void theJournalIsEmptiedOnlyOnceEveryNoteIsWritten();
};

void tst_AppDelegate::init()
{
    QDir(desktop()).removeRecursively();
}

void tst_AppDelegate::theActiveNoteIsDateNamedAndTheOthersGoWhereClosingWouldPutThem()
{
    NoteSession session;
    session.updateTabTitleDraft(session.selectedTabId(), QStringLiteral("Plan"));
    session.updateActiveTabText(QStringLiteral("first"));
    session.addTab();
    session.updateActiveTabText(QStringLiteral("second"));
    session.addTab();
    session.updateTabTitleDraft(session.selectedTabId(), QStringLiteral("Active"));
    // The editor's text is what counts for the active tab, not what the tab last stored.
    session.updateActiveTabText(QStringLiteral("stored"));
    WispenTextView view;
    session.attachTextView(&view);
    view.moveCursor(QTextCursor::End);
    view.insertPlainText(QStringLiteral(" and typed"));

    AppDelegate(session).finalSave();

    const QStringList files = desktopFiles();
    QCOMPARE(files.size(), 3);
    QCOMPARE(TestFiles::contents(QDir(desktop()).filePath(QStringLiteral("Plan.txt"))), "first");
    QStringList dateNamed = files.filter(QRegularExpression(QStringLiteral("^\\d{4}-")));
    QCOMPARE(dateNamed.size(), 2);
    QByteArrayList texts;
    for (const QString &name : dateNamed)
        texts.append(TestFiles::contents(QDir(desktop()).filePath(name)));
    std::sort(texts.begin(), texts.end());
    QCOMPARE(texts, QByteArrayList({ "second", "stored and typed" }));
}

void tst_AppDelegate::aBlankActiveTabNoLongerKeepsTheOtherTabsFromBeingSaved()
{
    NoteSession session;
    session.updateTabTitleDraft(session.selectedTabId(), QStringLiteral("Kept"));
    session.updateActiveTabText(QStringLiteral("kept"));
    session.addTab();

    AppDelegate(session).finalSave();

    QCOMPARE(desktopFiles(), QStringList { QStringLiteral("Kept.txt") });
}

void tst_AppDelegate::aTabFromAFileIsWrittenBackToIt()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.txt"));
    QVERIFY(TestFiles::write(path, "old\r\n"));
    NoteSession session;
    session.loadFile(QUrl::fromLocalFile(path));
    session.updateActiveTabText(QStringLiteral("old\r\nnew"));
    session.addTab();

    AppDelegate(session).finalSave();

    QCOMPARE(TestFiles::contents(path), "old\r\nnew");
    QVERIFY(desktopFiles().isEmpty());
}

void tst_AppDelegate::runningTwiceWritesNoSecondCopyEvenAMinuteLater()
{
    NoteSession session;
    session.updateActiveTabText(QStringLiteral("note"));
    AppDelegate delegate(session);
    delegate.finalSave();
    QCOMPARE(desktopFiles().size(), 1);
    // As if the clock had moved on: the date name of a second save would differ.
    QVERIFY(QFile::rename(QDir(desktop()).filePath(desktopFiles().first()),
        QDir(desktop()).filePath(QStringLiteral("1999-01-01_00-00.txt"))));

    delegate.finalSave();

    QCOMPARE(desktopFiles(), QStringList { QStringLiteral("1999-01-01_00-00.txt") });
}

void tst_AppDelegate::runningAgainAfterAnEditWritesTheNewText()
{
    NoteSession session;
    session.updateTabTitleDraft(session.selectedTabId(), QStringLiteral("Other"));
    session.updateActiveTabText(QStringLiteral("before"));
    session.addTab();
    AppDelegate delegate(session);
    delegate.finalSave();
    session.selectTab(session.tabs().first().id);
    session.updateActiveTabText(QStringLiteral("after"));
    session.addTab();

    delegate.finalSave();

    QCOMPARE(TestFiles::contents(QDir(desktop()).filePath(QStringLiteral("Other.txt"))), "before");
    QCOMPARE(TestFiles::contents(QDir(desktop()).filePath(QStringLiteral("Other 2.txt"))), "after");
}

void tst_AppDelegate::theJournalIsEmptiedOnlyOnceEveryNoteIsWritten()
{
    QTemporaryDir dir;
    NoteSession session;
    RecoveryJournal journal(session, dir.filePath(QStringLiteral("journal")));
    AppDelegate delegate(session);
    delegate.setJournal(&journal);
    // A file where the desktop and the Recovered folder should be: the note fits nowhere.
    QVERIFY(TestFiles::write(desktop(), "in the way"));
    QVERIFY(QDir().mkpath(QFileInfo(AutoSaveManager::recoveredFolder()).path()));
    QVERIFY(TestFiles::write(AutoSaveManager::recoveredFolder(), "in the way"));
    session.updateActiveTabText(QStringLiteral("homeless"));
    journal.snapshot();
    const auto entries = [&dir] {
        return QDir(dir.filePath(QStringLiteral("journal")), QStringLiteral("*.entry")).count();
    };
    QCOMPARE(entries(), 1u);

    delegate.finalSave();
    QCOMPARE(entries(), 1u);

    QVERIFY(QFile::remove(desktop()));
    delegate.finalSave();
    QCOMPARE(entries(), 0u);
    QFile::remove(AutoSaveManager::recoveredFolder());
}

WISPEN_TEST_MAIN(tst_AppDelegate)
#include "tst_appdelegate.moc"
