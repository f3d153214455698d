#include "journal/journalentry.h"
#include "journal/journalrecovery.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using TestFiles::desktop;

class tst_RecoveryJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void anEntryReadsBackAsItWasWritten();
    void aDamagedEntryIsRecognised_data();
    void aDamagedEntryIsRecognised();

    void changedTabsAreWrittenShortlyAfterTyping();
    void steadyTypingStillGetsASnapshotEverySecond();
    void blankAndClosedTabsLeaveTheJournal();
    void theFinalSaveEmptiesTheJournalAndUnchangedNotesStayOut();

    void recoveryPutsEachNoteWhereTheFinalSaveWould();
    void aNoteWhoseFileChangedMeanwhileGoesToTheDesktop();
    void aDamagedEntryIsKeptAsideAndTheOthersRecovered();

private:
    QStringList entries() const;

    QTemporaryDir m_dir;
    QString m_journal;
};

QStringList tst_RecoveryJournal::entries() const
{
    return QDir(m_journal).entryList(QDir::Files);
}

void tst_RecoveryJournal::init()
{
    m_journal = RecoveryJournal::defaultFolder();
    QDir(m_journal).removeRecursively();
    QDir(RecoveryJournal::damagedFolder(m_journal)).removeRecursively();
    QDir(desktop()).removeRecursively();
}

void tst_RecoveryJournal::anEntryReadsBackAsItWasWritten()
{
    JournalEntry entry;
    entry.tabId = QUuid::createUuid();
    entry.order = 2;
    entry.wasActive = true;
    entry.title = u"Plans: 2027"_qs;
    entry.text = u"☐ a\r\n\ufeff\u2028\n"_qs;
    entry.file = QUrl::fromLocalFile(u"/tmp/a b%.txt"_qs);
    entry.fileStamp = FileStamp { 12, 1700000000123 };
    entry.snapshotAt = QDateTime::fromMSecsSinceEpoch(1800000000000);

    const auto decoded = JournalEntry::decode(entry.encode());

    QVERIFY(decoded);
    QVERIFY(decoded->sameNoteAs(entry));
    QCOMPARE(decoded->snapshotAt, entry.snapshotAt);
}

void tst_RecoveryJournal::aDamagedEntryIsRecognised_data()
{
    JournalEntry entry;
    entry.tabId = QUuid::createUuid();
    entry.text = u"some note text"_qs;
    const QByteArray good = entry.encode();

    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cut in half") << good.first(good.size() / 2);
    QTest::newRow("text cut short") << good.chopped(3);
    QTest::newRow("a byte of text changed") << QByteArray(good).replace("note", "nope");
    QTest::newRow("no header") << QByteArray("just text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("another format") << QByteArray(good).replace("\"version\":1", "\"version\":9");
}

void tst_RecoveryJournal::aDamagedEntryIsRecognised()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!JournalEntry::decode(bytes));
}

void tst_RecoveryJournal::changedTabsAreWrittenShortlyAfterTyping()
{
    NoteSession session;
    RecoveryJournal journal(session, m_journal);
    session.updateActiveTabText(u"first"_qs);
    session.addTab();
    session.updateActiveTabText(u"second"_qs);
    QVERIFY(entries().isEmpty()); // nothing on the typing path

    QTRY_COMPARE_WITH_TIMEOUT(entries().size(), 2, 3000);
    const QString path = QDir(m_journal).filePath(
        session.tabs().first().id.toString(QUuid::WithoutBraces) + u".entry"_qs);
    const auto entry = JournalEntry::decode(TestFiles::contents(path));
    QVERIFY(entry);
    QCOMPARE(entry->text, u"first"_qs);
    QCOMPARE(entry->order, 0);
    QVERIFY(!entry->wasActive);
}

void tst_RecoveryJournal::steadyTypingStillGetsASnapshotEverySecond()
{
    NoteSession session;
    RecoveryJournal journal(session, m_journal);
    QString text;
    QElapsedTimer typing;
    typing.start();
    while (entries().isEmpty() && typing.elapsed() < 5000) {
        text += u'x';
        session.updateActiveTabText(text);
        QTest::qWait(50);
    }
    QCOMPARE(entries().size(), 1);
}

void tst_RecoveryJournal::blankAndClosedTabsLeaveTheJournal()
{
    NoteSession session;
    RecoveryJournal journal(session, m_journal);
    session.updateActiveTabText(u"will be cleared"_qs);
    session.addTab();
    session.updateActiveTabText(u"will be closed"_qs);
    journal.snapshot();
    QCOMPARE(entries().size(), 2);

    session.closeTab(session.selectedTabId());
    session.updateActiveTabText(u" \n"_qs);
    journal.snapshot();

    QVERIFY(entries().isEmpty());
}

void tst_RecoveryJournal::theFinalSaveEmptiesTheJournalAndUnchangedNotesStayOut()
{
    NoteSession session;
    RecoveryJournal journal(session, m_journal);
    session.updateActiveTabText(u"saved at quit"_qs);
    session.addTab();
    session.updateActiveTabText(u"also saved"_qs);
    journal.snapshot();

    journal.clear();
    QVERIFY(entries().isEmpty());
    QVERIFY(!journal.isSnapshotPending());

    journal.snapshot();
    QVERIFY(entries().isEmpty());
    session.updateActiveTabText(u"also saved, then changed"_qs);
    journal.snapshot();
    QCOMPARE(entries().size(), 1);
}

void tst_RecoveryJournal::recoveryPutsEachNoteWhereTheFinalSaveWould()
{
    NoteSession session;
    {
        RecoveryJournal journal(session, m_journal);
        session.updateTabTitleDraft(session.selectedTabId(), u"Titled but active"_qs);
        session.updateActiveTabText(u"active note"_qs);
        session.addTab();
        session.updateTabTitleDraft(session.selectedTabId(), u"Groceries"_qs);
        session.updateActiveTabText(u"milk"_qs);
        session.addTab();
        session.updateActiveTabText(u"untitled note"_qs);
        session.selectTab(session.tabs().first().id);
        journal.snapshot();
    }

    QCOMPARE(JournalRecovery::recover(m_journal), 3);

    QDir dir(desktop());
    const QStringList dated = dir.entryList({ u"2*.txt"_qs }, QDir::Files, QDir::Name);
    QCOMPARE(dated.size(), 2);
    QStringList texts { QString::fromUtf8(TestFiles::contents(dir.filePath(dated.at(0)))),
        QString::fromUtf8(TestFiles::contents(dir.filePath(dated.at(1)))) };
    texts.sort();
    QCOMPARE(texts, (QStringList { u"active note"_qs, u"untitled note"_qs }));
    QCOMPARE(TestFiles::contents(dir.filePath(u"Groceries.txt"_qs)), QByteArray("milk"));
    QVERIFY(entries().isEmpty());
    QVERIFY(!QDir(RecoveryJournal::damagedFolder(m_journal)).exists());
    QCOMPARE(JournalRecovery::recover(m_journal), 0);
}

void tst_RecoveryJournal::aNoteWhoseFileChangedMeanwhileGoesToTheDesktop()
{
    const QString unchanged = m_dir.filePath(u"unchanged.txt"_qs);
    const QString changed = m_dir.filePath(u"changed.txt"_qs);
    QVERIFY(TestFiles::write(unchanged, "old one"));
    QVERIFY(TestFiles::write(changed, "old two"));
    NoteSession session;
    {
        RecoveryJournal journal(session, m_journal);
        JournalEntry first;
        first.tabId = QUuid::createUuid();
        first.text = u"typed one"_qs;
        first.file = QUrl::fromLocalFile(unchanged);
        first.fileStamp = FileStamp::of(unchanged);
        JournalEntry second = first;
        second.tabId = QUuid::createUuid();
        second.order = 1;
        second.text = u"typed two"_qs;
        second.file = QUrl::fromLocalFile(changed);
        second.fileStamp = FileStamp::of(changed);
        QVERIFY(QDir().mkpath(m_journal));
        QVERIFY(TestFiles::write(m_journal + u"/a.entry"_qs, first.encode()));
        QVERIFY(TestFiles::write(m_journal + u"/b.entry"_qs, second.encode()));
    }
    QVERIFY(TestFiles::write(changed, "another program wrote this"));

    QCOMPARE(JournalRecovery::recover(m_journal), 2);

    QCOMPARE(TestFiles::contents(unchanged), QByteArray("typed one"));
    QCOMPARE(TestFiles::contents(changed), QByteArray("another program wrote this"));
    QCOMPARE(TestFiles::contents(QDir(desktop()).filePath(u"changed.txt (recovered).txt"_qs)),
        QByteArray("typed two"));
}

void tst_RecoveryJournal::aDamagedEntryIsKeptAsideAndTheOthersRecovered()
{
    JournalEntry entry;
    entry.tabId = QUuid::createUuid();
    entry.title = u"Fine"_qs;
    entry.text = u"intact"_qs;
    const QByteArray damaged = entry.encode().chopped(2);
    QVERIFY(QDir().mkpath(m_journal));
    QVERIFY(TestFiles::write(m_journal + u"/good.entry"_qs, entry.encode()));
    QVERIFY(TestFiles::write(m_journal + u"/bad.entry"_qs, damaged));

    QCOMPARE(JournalRecovery::recover(m_journal), 1);

    QCOMPARE(TestFiles::contents(QDir(desktop()).filePath(u"Fine.txt"_qs)), QByteArray("intact"));
    QVERIFY(entries().isEmpty());
    const QString kept = RecoveryJournal::damagedFolder(m_journal) + u"/bad.entry"_qs;
    QCOMPARE(TestFiles::contents(kept), damaged);
}

WISPEN_TEST_MAIN(tst_RecoveryJournal)
#include "tst_recoveryjournal.moc"
