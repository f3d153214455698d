#include "autosave/autosavemanager.h"
#include "autosave/whitespace.h"
#include "autosave/writefaults.h"
#include "session/notefilereader.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <sys/stat.h>

// Adding tabs, closing the selected one, selecting, typing and handing over files are walked
// at random by tst_notesnotlost; these are the cases it does not reach.
class tst_NoteSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void anOlderUnsavedNoteNeverOverwritesAFileOpenedAgain();
    void titleDraftsAreStoredAsTypedAndCommitsTrimThem_data();
    void titleDraftsAreStoredAsTypedAndCommitsTrimThem();
    void everyWriteBackIsOneNotificationAndDoingNothingIsNone();
    void aFileIsReadAsStrictUtf8OrNotAtAll_data();
    void aFileIsReadAsStrictUtf8OrNotAtAll();
    void aLoadedFileReplacesTheActiveTabOnceItsNoteIsSaved_data();
    void aLoadedFileReplacesTheActiveTabOnceItsNoteIsSaved();
    void furtherFilesGetTabsAtTheEndUnlessTheyAreOpenAlready();
    void aNoteTextTakesEveryEditAsAStringDoes();

private:
    QUrl makeFile(const QString &name, const QByteArray &bytes) const
    {
        return TestFiles::makeFile(m_dir->path(), name, bytes);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_NoteSession::init()
{
    QDir(TestFiles::desktop()).removeRecursively();
    QSettings().clear();
    m_dir = std::make_unique<QTemporaryDir>();
}

void tst_NoteSession::titleDraftsAreStoredAsTypedAndCommitsTrimThem_data()
{
    QTest::addColumn<QString>("draft");
    QTest::addColumn<std::optional<QString>>("committed");
    QTest::newRow("empty") << QString() << std::optional<QString>();
    QTest::newRow("words with blanks") << u"  Two words \n"_qs << std::optional(u"Two words"_qs);
    QTest::newRow("only spaces") << u"   "_qs << std::optional<QString>();
}

void tst_NoteSession::titleDraftsAreStoredAsTypedAndCommitsTrimThem()
{
    QFETCH(QString, draft);
    QFETCH(std::optional<QString>, committed);
    NoteSession session;
    session.updateActiveTabText(u"text never names a tab"_qs);
    const QUuid id = session.selectedTabId();
    session.addTab(); // renaming need not be the selected tab
    const QString title = committed.value_or(u"Untitled"_qs);

    session.updateTabTitleDraft(id, draft);
    QCOMPARE(
        session.tabs().first().customTitle, draft.isEmpty() ? std::nullopt : std::optional(draft));
    QCOMPARE(session.title(session.tabs().first()), title);
    session.commitTabTitle(id);
    QCOMPARE(session.tabs().first().customTitle, committed);
    QCOMPARE(session.title(session.tabs().first()), title);
    QCOMPARE(session.tabs().last().customTitle, std::nullopt);
}

void tst_NoteSession::everyWriteBackIsOneNotificationAndDoingNothingIsNone()
{
    NoteSession session;
    const QUuid id = session.selectedTabId();
    QSignalSpy changes(&session, &NoteSession::objectWillChange);
    session.updateActiveTabText(u"a"_qs);
    session.updateTabTitleDraft(id, u" x"_qs);
    session.commitTabTitle(id);
    session.commitTabTitle(id); // nothing left to trim
    session.syncPublishedFromActiveTab(); // the same file as before
    QCOMPARE(changes.size(), 5);

    // The selected tab again, no view to flush, no files, and ids no tab has.
    session.selectTab(id);
    session.flushActiveTabFromTextView();
    session.loadFiles({});
    session.updateTabTitleDraft(QUuid::createUuid(), u"y"_qs);
    session.commitTabTitle(QUuid::createUuid());
    session.selectTab(QUuid::createUuid());
    session.closeTab(QUuid::createUuid());
    QCOMPARE(changes.size(), 5); // every change is published, so none was made
    QCOMPARE(session.tabs().size(), 1);
}

void tst_NoteSession::aFileIsReadAsStrictUtf8OrNotAtAll_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("read");
    const QString notUtf8 = u"(not UTF-8)"_qs, notRead = u"(not read)"_qs;
    QTest::newRow("empty file") << u"file"_qs << QByteArray() << QString();
    QTest::newRow("umlauts and a check box")
        << u"file"_qs << QByteArray("gr\xC3\xBC\xC3\x9F \xE2\x98\x90") << u"grüß ☐"_qs;
    QTest::newRow("leading byte-order mark is kept")
        << u"file"_qs << QByteArray("\xEF\xBB\xBFhi") << u"\uFEFFhi"_qs;
    QTest::newRow("Latin-1 byte") << u"file"_qs << QByteArray("caf\xE9") << notUtf8;
    QTest::newRow("sequence cut off at the end")
        << u"file"_qs << QByteArray("ab\xE2\x82") << notUtf8;
    QTest::newRow("named pipe") << u"fifo"_qs << QByteArray() << notRead;
    // Opening fails for root too when no file descriptor is left.
    QTest::newRow("no file descriptor left") << u"no descriptor"_qs << QByteArray() << notRead;
    QTest::newRow("not a local file") << u"remote"_qs << QByteArray() << notRead;
    // Sparse: as large as it says, without the disk space.
    QTest::newRow("larger than the limit") << u"too large"_qs << QByteArray() << u"(too large)"_qs;
    QTest::newRow("more lines than the limit")
        << u"many lines"_qs << QByteArray(NoteFileReader::maximumLines() + 1, '\n')
        << u"(too large)"_qs;
}

void tst_NoteSession::aFileIsReadAsStrictUtf8OrNotAtAll()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, read);
    QUrl url = QUrl::fromLocalFile(m_dir->filePath(kind));
    if (kind == u"file" || kind == u"no descriptor" || kind == u"many lines")
        url = makeFile(kind, bytes);
    else if (kind == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(url.toLocalFile()).constData(), 0600), 0);
    else if (kind == u"remote")
        url = QUrl(u"https://example.org/note.txt"_qs);
    else if (kind == u"too large")
        QVERIFY(QFile(makeFile(kind, {}).toLocalFile()).resize(NoteFileReader::maximumSize() + 1));
    rlimit files {};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &files), 0);
    const rlimit limit { kind == u"no descriptor" ? 0 : files.rlim_cur, files.rlim_max };
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &limit), 0);
    const auto content = NoteFileReader::read(url);
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &files), 0);

    QCOMPARE(!content ? u"(not read)"_qs
            : content->isTooLarge || content->hasTooManyLines
            ? u"(too large)"_qs
            : (content->isUtf8 ? QString() : u"(not UTF-8)"_qs) + content->text,
        read);
    if (read != u"(too large)")
        return;
    // Refused with a notice that names the file and the limit; the tab stays as it was.
    NoteSession session;
    QSignalSpy notices(&session, &NoteSession::noticeRaised);
    session.loadFile(url);
    QCOMPARE(notices.size(), 1);
    const QString notice = notices.first().first().value<SaveNotice>().text;
    const QString named = kind == u"too large"
        ? QLocale::system().formattedDataSize(
            NoteFileReader::maximumSize(), 0, QLocale::DataSizeTraditionalFormat)
        : QLocale::system().toString(NoteFileReader::maximumLines()) + u" lines"_qs;
    QVERIFY2(notice.contains(kind) && notice.contains(named), qPrintable(notice));
    QCOMPARE(session.tabs().first().openedFileURL, std::nullopt);
}

// What loading next.txt over the active tab does, with the note that was there before.
struct Replacing
{
    bool bound = false; // the active tab holds folder/first.txt
    QString typed = u"typed"_qs;
    QByteArray nextFile = "from the file";
    bool nowhereToSave = false;
    QStringList tabs { u"from the file"_qs };
    QByteArray onDesktop {}; // what the one file on the desktop holds, if any
    QByteArray firstFile = "old"; // what folder/first.txt holds afterwards
};

void tst_NoteSession::aLoadedFileReplacesTheActiveTabOnceItsNoteIsSaved_data()
{
    QTest::addColumn<Replacing>("c");
    QTest::newRow("a note of no file goes to the desktop, dated")
        << Replacing { .onDesktop = "typed" };
    QTest::newRow("a blank note is not written") << Replacing { .typed = u"  \n\t"_qs };
    QTest::newRow("a bound note goes back to its file")
        << Replacing { .bound = true, .firstFile = "typed" };
    QTest::newRow("a file that is not UTF-8 shows empty and binds nothing") << Replacing {
        .bound = true, .nextFile = "caf\xE9", .tabs = { QString() }, .firstFile = "typed"
    };
    QTest::newRow("a note that cannot be saved stays in its tab") << Replacing { .bound = true,
        .nowhereToSave = true,
        .tabs = { u"typed"_qs, u"from the file"_qs },
        .firstFile = "<unreadable>" };
}

void tst_NoteSession::aLoadedFileReplacesTheActiveTabOnceItsNoteIsSaved()
{
    QFETCH(Replacing, c);
    const QString folder = m_dir->filePath(u"folder"_qs);
    QVERIFY(QDir().mkpath(folder));
    const QUrl first = makeFile(u"folder/first.txt"_qs, "old");
    const QUrl next = makeFile(u"next.txt"_qs, c.nextFile);
    NoteSession session;
    session.updateTabTitleDraft(session.selectedTabId(), u"Plan"_qs);
    if (c.bound)
        session.loadFile(first);
    session.updateActiveTabText(c.typed);
    // Nowhere to go: files stand where the note's folder and the Recovered folder's parent
    // belong.
    const QString recoveredParent = QFileInfo(AutoSaveManager::recoveredFolder()).path();
    if (c.nowhereToSave)
        QVERIFY(TestFiles::block(folder) && TestFiles::block(recoveredParent));

    session.loadFile(next);

    QVERIFY(!c.nowhereToSave || QFile::remove(recoveredParent));
    QStringList texts;
    for (const EditorTab &tab : session.tabs())
        texts << tab.cachedText.toString();
    QCOMPARE(texts, c.tabs);
    QCOMPARE(session.cachedText(), c.tabs.last());
    QCOMPARE(session.selectedTabId(), session.tabs().last().id);
    const auto binding = c.tabs.last().isEmpty() ? std::nullopt : std::optional(next);
    QCOMPARE(session.tabs().last().openedFileURL, binding);
    QCOMPARE(session.openedFileURL(), binding);
    QCOMPARE(session.title(session.tabs().first()), u"Plan"_qs);
    QCOMPARE(TestFiles::contents(first.toLocalFile()), c.firstFile);
    const QStringList dated = TestFiles::datedDesktopFiles();
    QCOMPARE(TestFiles::desktopFiles(), dated);
    QCOMPARE(dated.size(), c.onDesktop.isEmpty() ? 0 : 1);
    for (const QString &name : dated)
        QCOMPARE(TestFiles::onDesktop(name), c.onDesktop);
}

void tst_NoteSession::furtherFilesGetTabsAtTheEndUnlessTheyAreOpenAlready()
{
    NoteSession session;
    const QUrl open = makeFile(u"open.txt"_qs, "on disk");
    session.loadFile(open);
    session.updateActiveTabText(u"edited"_qs);
    session.addTab();
    session.updateActiveTabText(u"kept"_qs);
    const QUuid kept = session.selectedTabId();
    session.addTab();
    session.selectTab(kept);
    const QUrl missing = QUrl::fromLocalFile(m_dir->filePath(u"missing.txt"_qs));
    const QUrl samePath = QUrl::fromLocalFile(m_dir->path() + u"/./open.txt"_qs);
    const QUrl one = makeFile(u"1.txt"_qs, "one"), three = makeFile(u"3.txt"_qs, "three");

    session.loadFiles({ missing, one, QUrl::fromLocalFile(m_dir->path()), samePath, three });

    QStringList texts;
    QList<std::optional<QUrl>> files;
    for (const EditorTab &tab : session.tabs()) {
        texts << tab.cachedText.toString();
        files << tab.openedFileURL;
    }
    // The active note was saved before its file could not be read, and stays, bound to the
    // desktop file that now holds it; the open file kept its tab and its edit.
    QCOMPARE(texts, (QStringList { u"edited"_qs, u"kept"_qs, {}, u"one"_qs, {}, u"three"_qs }));
    QCOMPARE(TestFiles::desktopFiles().size(), 1);
    const QUrl saved
        = QUrl::fromLocalFile(TestFiles::desktop() + u'/' + TestFiles::desktopFiles().first());
    QCOMPARE(files, (QList<std::optional<QUrl>> { open, saved, {}, one, {}, three }));
    QCOMPARE(session.selectedTabId(), session.tabs().last().id);
    QCOMPARE(session.openedFileURL(), three);
}

void tst_NoteSession::anOlderUnsavedNoteNeverOverwritesAFileOpenedAgain()
{
    const QUrl url = TestFiles::makeFile(m_dir->path(), u"f.txt"_qs, "on disk");
    NoteSession session;
    WriteFaults::setRule([](const QString &) { return true; });
    session.loadFile(url);
    session.updateActiveTabText(u"first edit"_qs);
    session.closeTab(session.selectedTabId());
    QCOMPARE(session.unsavedNotes().size(), 1);
    // Opened again, edited back to what the file holds, closed: nothing to write.
    session.loadFile(url);
    session.updateActiveTabText(u"on disk!"_qs);
    session.updateActiveTabText(u"on disk"_qs);
    session.closeTab(session.selectedTabId());
    WriteFaults::setRule({});

    QVERIFY(session.saveAll());
    QCOMPARE(TestFiles::contents(url.toLocalFile()), "on disk");
    QCOMPARE(
        TestFiles::contents(TestFiles::desktop() + u"/f.txt (recovered).txt"_qs), "first edit");
}

void tst_NoteSession::aNoteTextTakesEveryEditAsAStringDoes()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    const QStringList alphabet { u"a"_qs, u" "_qs, u"\n"_qs, u"\r\n"_qs, u"\u2028"_qs, u"é"_qs,
        u"🧀"_qs, u"\t"_qs };
    const QString loaded = QString(20000, u' ') + u"x"_qs + QString(30000, u'y');
    NoteText text(loaded);
    QString expected = loaded;
    for (int step = 0; step < 3000; ++step) {
        const auto at = [&](qsizetype most) { return qsizetype(random.bounded(int(most) + 1)); };
        const qsizetype position = at(expected.size());
        const qsizetype removed = random.bounded(8) == 0
            ? at(expected.size() - position)
            : at(std::min<qsizetype>(3, expected.size() - position));
        QString added;
        const int length = random.bounded(10) == 0 ? random.bounded(20000) : random.bounded(4);
        while (added.size() < length)
            added += alphabet.at(random.bounded(int(alphabet.size())));
        const NoteText before = text;
        text.replace(position, removed, added);
        expected.replace(position, removed, added);
        const QString what = u"seed %1, step %2"_qs.arg(seed).arg(step);
        QVERIFY2(text.size() == expected.size() && text == expected, qPrintable(what));
        QVERIFY2(text.isBlank() == Whitespace::isBlank(expected), qPrintable(what));
        // The change between the two, applied to the first, gives the second.
        const NoteText::Change change = NoteText::changeBetween(before, text);
        QString rebuilt = before.toString();
        rebuilt.replace(change.position, change.removed, text.mid(change.position, change.added));
        QVERIFY2(rebuilt == expected && change.added <= added.size() + 2 * 8192, qPrintable(what));
    }
    QCOMPARE(text.toUtf8(), expected.toUtf8());

    // A character whose two halves end up in two pieces is still written as one.
    const QString around = QString(10000, u'a') + u"🧀"_qs + QString(10000, u'b');
    NoteText cut(around);
    cut.replace(10001, 0, u"x"_qs);
    cut.replace(10001, 1, QString());
    QCOMPARE(cut.toUtf8(), around.toUtf8());
}

WISPEN_TEST_MAIN(tst_NoteSession)
#include "tst_notesession.moc"
