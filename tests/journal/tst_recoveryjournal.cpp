#include "autosave/autosavemanager.h"
#include "autosave/writefaults.h"
#include "journal/journalentry.h"
#include "journal/journallog.h"
#include "journal/journalrecovery.h"
#include "journal/recoveryjournal.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

struct Edit
{
    qsizetype position = 0;
    qsizetype removed = 0;
    QString added;
};

const QUuid loggedTab = QUuid::fromString(u"0c6bd6c4-7f59-4f3e-9d0a-2a8d1f1f0d11"_qs);

} // namespace

Q_DECLARE_METATYPE(QList<Edit>)

class tst_RecoveryJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void entriesFollowTheTabsUntilTheFinalSaveEmptiesTheJournal();
    void recoveryPutsEachNoteWhereTheFinalSaveWouldAndKeepsDamagedEntriesAside();
    void aNoteLeavesTheJournalOnlyOnceItIsWrittenAndOnlyOnce();
    void recoveryReplaysEveryEditOnItsBase_data();
    void recoveryReplaysEveryEditOnItsBase();
    void aDamagedLogKeepsWhatCameBeforeIt_data();
    void aDamagedLogKeepsWhatCameBeforeIt();

private:
    QStringList entries() const { return QDir(m_journal).entryList({ u"*.entry"_qs }); }

    QString m_journal;
};

void tst_RecoveryJournal::init()
{
    m_journal = RecoveryJournal::defaultFolder();
    QDir(m_journal).removeRecursively();
    QDir(RecoveryJournal::damagedFolder(m_journal)).removeRecursively();
    QDir(TestFiles::desktop()).removeRecursively();
}

void tst_RecoveryJournal::entriesFollowTheTabsUntilTheFinalSaveEmptiesTheJournal()
{
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    NoteSession session;
    RecoveryJournal journal(session, m_journal);
    session.updateActiveTabText(u"kept"_qs);
    session.addTab();
    session.updateActiveTabText(u"will be closed"_qs);
    session.addTab();
    QVERIFY(entries().isEmpty()); // nothing on the typing path
    // Steady typing does not put the snapshot off.
    QString text;
    QElapsedTimer typing;
    typing.start();
    while (entries().isEmpty() && typing.elapsed() < 5000) {
        session.updateActiveTabText(text += u'x');
        QTest::qWait(50);
    }
    QTRY_COMPARE(entries().size(), 3);
    journal.waitForDisk();
    const auto entry = JournalEntry::decode(TestFiles::contents(QDir(m_journal).filePath(
        session.tabs().first().id.toString(QUuid::WithoutBraces) + u".entry"_qs)));
    QVERIFY(entry && entry->text == u"kept"_qs && entry->order == 0 && !entry->wasActive);

    session.closeTab(session.tabs().at(1).id);
    session.updateActiveTabText(u" \n"_qs);
    session.updateTabTitleDraft(session.tabs().first().id, u"Renamed"_qs);
    journal.snapshot();
    QCOMPARE(entries().size(), 1); // blank and closed tabs leave the journal
    QCOMPARE(QDir(m_journal).entryList(QDir::Files).size(), 2); // the rename went to the log

    // As private as the notes.
    QCOMPARE(QFile::permissions(m_journal) & 0x7077, ownerOnly | QFile::ExeOwner);
    for (const QString &name : QDir(m_journal).entryList(QDir::Files))
        QCOMPARE(QFile::permissions(QDir(m_journal).filePath(name)) & 0x7077, ownerOnly);

    session.selectTab(session.tabs().first().id);
    session.updateActiveTabText(u"changed just before the final save"_qs);
    QVERIFY(session.saveAll());
    journal.snapshot();
    QVERIFY(entries().isEmpty()); // notes held by their files stay out
    session.updateActiveTabText(u"changed after it"_qs);
    journal.snapshot();
    QCOMPARE(entries().size(), 1);
}

void tst_RecoveryJournal::recoveryPutsEachNoteWhereTheFinalSaveWouldAndKeepsDamagedEntriesAside()
{
    const QTemporaryDir dir;
    const QUrl unchanged = TestFiles::makeFile(dir.path(), u"un changed 100%.txt"_qs, "old");
    const QUrl changed = TestFiles::makeFile(dir.path(), u"changed.txt"_qs, "old");
    const auto entry = [](int order, bool active, const QString &text,
                           const QString &title = u"Untitled"_qs, std::optional<QUrl> file = {}) {
        return JournalEntry { QUuid::createUuid(), order, active, title, text, file,
            file ? FileStamp::of(file->toLocalFile()) : std::nullopt,
            QDateTime(QDate(2026, 12, 5), QTime(14, 7)) };
    };
    JournalEntry remote = entry(9, false, u"some note text"_qs);
    const QByteArray good = remote.encode();
    remote.file = QUrl(u"https://example.org/note.txt"_qs);
    // Cut in half, text cut short, a byte changed, no header, another format, a remote file.
    const QByteArrayList damaged { good.first(good.size() / 2), good.chopped(3),
        QByteArray(good).replace("note", "nope"), "just text",
        QByteArray(good).replace("\"version\":3", "\"version\":9"), remote.encode() };
    // "last" as a run before logs existed wrote it.
    QByteArray earlier = entry(1, false, u"last"_qs).encode();
    earlier.replace("\"generation\":\"0\",", "").replace("\"version\":3", "\"version\":2");
    // By name the entries come in another order than the final save's.
    const QByteArrayList notes { earlier,
        entry(2, true, u"first"_qs, u"Titled but active"_qs).encode(),
        entry(0, false, u"second"_qs).encode(),
        entry(3, false, u"milk"_qs, u"Groceries"_qs).encode(),
        entry(4, false, u"typed into it"_qs, {}, unchanged).encode(),
        entry(5, false, u"typed into changed.txt"_qs, {}, changed).encode() };
    QVERIFY(TestFiles::write(changed.toLocalFile(), "another program wrote this"));
    const QString aside = RecoveryJournal::damagedFolder(m_journal);
    QVERIFY(QDir().mkpath(m_journal) && QDir().mkpath(aside));
    for (int i = 0; i < notes.size(); ++i)
        QVERIFY(TestFiles::write(m_journal + u"/%1.entry"_qs.arg(QChar(u'a' + i)), notes.at(i)));
    for (int i = 0; i < damaged.size(); ++i)
        QVERIFY(TestFiles::write(m_journal + u"/z%1.entry"_qs.arg(i), damaged.at(i)));
    QVERIFY(TestFiles::write(aside + u"/z0.entry"_qs, "damaged before"));

    QCOMPARE(JournalRecovery::recover(m_journal).written, 6);

    // The active note first and without its title, then the others in tab order.
    const QString dated = u"2026-12-05_14-07"_qs;
    QCOMPARE(TestFiles::onDesktop(dated + u".txt"_qs), "first");
    QCOMPARE(TestFiles::onDesktop(dated + u" 2.txt"_qs), "second");
    QCOMPARE(TestFiles::onDesktop(dated + u" 3.txt"_qs), "last");
    QCOMPARE(TestFiles::onDesktop(u"Groceries.txt"_qs), "milk");
    QCOMPARE(TestFiles::contents(unchanged.toLocalFile()), "typed into it");
    QCOMPARE(TestFiles::contents(changed.toLocalFile()), "another program wrote this");
    QCOMPARE(TestFiles::onDesktop(u"changed.txt (recovered).txt"_qs), "typed into changed.txt");
    QCOMPARE(TestFiles::desktopFiles().size(), 5);
    QVERIFY(entries().isEmpty());
    QVERIFY(!QDir(AutoSaveManager::recoveredFolder()).exists());
    QCOMPARE(TestFiles::contents(aside + u"/z0.entry"_qs), "damaged before");
    for (int i = 0; i < damaged.size(); ++i)
        QCOMPARE(TestFiles::contents(aside + u"/z%1.entry%2"_qs.arg(i).arg(i ? "" : ".2")),
            damaged.at(i));
    QCOMPARE(JournalRecovery::recover(m_journal).written, 0);
}

void tst_RecoveryJournal::aNoteLeavesTheJournalOnlyOnceItIsWrittenAndOnlyOnce()
{
    const QTemporaryDir dir;
    const QUrl own = TestFiles::makeFile(dir.path(), u"own.txt"_qs, "old");
    const QString blocked = QFileInfo(AutoSaveManager::recoveredFolder()).path();
    NoteSession session;
    RecoveryJournal journal(session, m_journal);
    session.loadFile(own);
    session.updateActiveTabText(u"edited"_qs);
    session.addTab();
    session.updateActiveTabText(u"unbound"_qs);
    session.addTab();
    session.updateTabTitleDraft(session.selectedTabId(), u"Closed"_qs);
    session.updateActiveTabText(u"closed while the disk was full"_qs);
    QVERIFY(TestFiles::block(TestFiles::desktop()) && TestFiles::block(blocked));
    QSignalSpy notices(&session, &NoteSession::noticeRaised);
    session.closeTab(session.selectedTabId());
    QCOMPARE(session.unsavedNotes().size(), 1);
    QCOMPARE(notices.size(), 1);

    // A final save that reaches the own file only: the journal keeps exactly the other two.
    QVERIFY(!session.saveAll());
    journal.snapshot();
    QCOMPARE(TestFiles::contents(own.toLocalFile()), "edited");
    QCOMPARE(entries().size(), 2);

    // Recovery with nowhere to write keeps both for the next start.
    const JournalRecovery::Result stuck = JournalRecovery::recover(m_journal);
    QCOMPARE((QList<qsizetype> { stuck.written, stuck.keptForLater, stuck.notices.size() }),
        (QList<qsizetype> { 0, 2, 2 }));
    QCOMPARE(entries().size(), 2);

    QVERIFY(QFile::remove(TestFiles::desktop()) && QFile::remove(blocked));
    // A kill between writing a note and removing its entry: the next start finds the note
    // written already and writes no second copy.
    const QString anEntry = QDir(m_journal).filePath(entries().first());
    const QByteArray kept = TestFiles::contents(anEntry);
    QCOMPARE(JournalRecovery::recover(m_journal).written, 2);
    QVERIFY(TestFiles::write(anEntry, kept));
    QCOMPARE(JournalRecovery::recover(m_journal).written, 1);
    QCOMPARE(TestFiles::desktopFiles().size(), 2);
    QVERIFY(TestFiles::desktopFiles().contains(u"Closed.txt"_qs));
    QVERIFY(entries().isEmpty());
}

void tst_RecoveryJournal::recoveryReplaysEveryEditOnItsBase_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QList<Edit>>("edits");
    // From this edit on the log cannot be written, until the next snapshot.
    QTest::addColumn<int>("refusedAt");

    const QString mixed = u"☐ Käse 🧀\r\n日本語\u2028\u2029next\rold mac\n\u0085end"_qs;
    QTest::newRow("multi-byte text and every line break")
        << mixed
        << QList<Edit> { { 0, 0, u"🙂"_qs }, { 2, 1, u"\r\n"_qs }, { 10, 3, u"\u2028é"_qs },
               { 4, 0, u"\r"_qs }, { 13, 2, QString() }, { 1, 0, u"\u0085 \u2029 ü"_qs } }
        << -1;
    QTest::newRow("an emoji replaced by one of the same first half")
        << u"a🙂b"_qs << QList<Edit> { { 1, 2, u"🙃"_qs }, { 3, 0, u"🧀"_qs } } << -1;

    // Long inserts everywhere while the writer still folds older logs into new bases.
    QList<Edit> racing;
    for (int i = 0; i < 80; ++i)
        racing.append(
            { qsizetype(i * 997 % (1000 + i * 3000)), i % 3, QString(3000, QChar(u'a' + i % 26)) });
    racing.append({ 5, 0, QString(70 * 1024, u'z') });
    racing.append({ 7, 1, u"ε"_qs });
    QTest::newRow("bases written while edits go on") << QString(1000, u'.') << racing << -1;

    QTest::newRow("a record that did not reach the disk")
        << u"first line\nsecond"_qs
        << QList<Edit> { { 5, 0, u"!"_qs }, { 0, 0, u"lost "_qs }, { 3, 2, u"kept"_qs },
               { 11, 0, u"\r\n"_qs } }
        << 1;
}

void tst_RecoveryJournal::recoveryReplaysEveryEditOnItsBase()
{
    QFETCH(QString, initial);
    QFETCH(QList<Edit>, edits);
    QFETCH(int, refusedAt);
    QString expected = initial;
    {
        NoteSession session;
        RecoveryJournal journal(session, m_journal);
        session.updateActiveTabText(initial);
        journal.recordChanges();
        for (int i = 0; i < edits.size(); ++i) {
            const Edit &edit = edits.at(i);
            if (i == refusedAt)
                WriteFaults::setRule([](const QString &path) { return path.endsWith(u".log"); });
            session.applyEditToActiveTab(edit.position, edit.removed, edit.added);
            expected.replace(edit.position, edit.removed, edit.added);
            journal.recordChanges();
            if (i == refusedAt) {
                journal.waitForDisk();
                WriteFaults::setRule({});
            }
        }
        journal.snapshot();
        QCOMPARE(session.activeTabPlainText(), expected);
        QVERIFY(!QDir(m_journal).entryList({ u"*.log"_qs }).isEmpty());
        // Gone as by a kill: nothing is saved but what the journal holds.
    }
    QCOMPARE(JournalRecovery::recover(m_journal).written, 1);
    const QStringList dated = TestFiles::datedDesktopFiles();
    QCOMPARE(dated.size(), 1);
    QVERIFY(TestFiles::onDesktop(dated.first()) == expected.toUtf8());
    QVERIFY(QDir(m_journal).isEmpty());
    QVERIFY(!QDir(RecoveryJournal::damagedFolder(m_journal)).exists());
}

void tst_RecoveryJournal::aDamagedLogKeepsWhatCameBeforeIt_data()
{
    JournalEntry details;
    details.tabId = loggedTab;
    details.wasActive = true;
    details.snapshotAt = QDateTime(QDate(2026, 12, 5), QTime(14, 7));
    const QByteArray first
        = JournalLog::detailsRecord(details) + JournalLog::editRecord(4, 0, u"\r\n☐ é"_qs, 9);
    const QByteArray second = JournalLog::editRecord(0, 1, u"🧀"_qs, 10);
    const QByteArray third = JournalLog::editRecord(10, 0, u"\u2028!"_qs, 12);
    const QString afterFirst = u"base\r\n☐ é"_qs;
    const QString afterSecond = u"🧀ase\r\n☐ é"_qs;
    const QString afterThird = u"🧀ase\r\n☐ é\u2028!"_qs;

    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("recovered");
    QTest::addColumn<bool>("keptAside");
    QTest::newRow("whole") << first + second + third << afterThird << false;
    QTest::newRow("cut in the last record's frame")
        << first + second + third.first(6) << afterSecond << true;
    QTest::newRow("cut in the last record's text")
        << first + second + third.chopped(1) << afterSecond << true;
    QByteArray garbled = second;
    garbled[garbled.size() - 1] = garbled.back() ^ 1;
    QTest::newRow("a byte of a record changed") << first + garbled + third << afterFirst << true;
    QTest::newRow("bytes after the last record")
        << first + second + third + "\x05\0\0" << afterThird << true;
    QTest::newRow("an edit beyond the text")
        << first + JournalLog::editRecord(99, 0, u"x"_qs, 10) + third << afterFirst << true;
}

void tst_RecoveryJournal::aDamagedLogKeepsWhatCameBeforeIt()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, recovered);
    QFETCH(bool, keptAside);
    JournalEntry base;
    base.tabId = loggedTab;
    base.text = u"base"_qs;
    base.generation = 7;
    const QString stem = loggedTab.toString(QUuid::WithoutBraces);
    QVERIFY(QDir().mkpath(m_journal));
    QVERIFY(TestFiles::write(QDir(m_journal).filePath(stem + u".entry"_qs), base.encode()));
    QVERIFY(TestFiles::write(QDir(m_journal).filePath(JournalLog::fileName(stem, 7)), log));
    // A log of an older base is stale, whatever it holds.
    QVERIFY(TestFiles::write(QDir(m_journal).filePath(JournalLog::fileName(stem, 6)), "stale"));

    QCOMPARE(JournalRecovery::recover(m_journal).written, 1);
    QCOMPARE(TestFiles::onDesktop(u"2026-12-05_14-07.txt"_qs), recovered.toUtf8());
    QVERIFY(QDir(m_journal).isEmpty());
    QCOMPARE(QDir(RecoveryJournal::damagedFolder(m_journal)).exists(), keptAside);
}

WISPEN_TEST_MAIN(tst_RecoveryJournal)
#include "tst_recoveryjournal.moc"
