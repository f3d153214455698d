#include "editor/wispentextview.h"
#include "editordriver.h"
#include "session/notefilereader.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using EditorDriver::AttachedView;
using TestFiles::desktop;
using TestFiles::desktopFiles;

class tst_OpeningFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void bytesDecodeAsStrictUtf8_data();
    void bytesDecodeAsStrictUtf8();
    void unreadablePathsAreNotRead_data();
    void unreadablePathsAreNotRead();

    void aFileReplacesTheActiveTabAndBindsItKeepingItsTitle();
    void textFromNoFileIsSavedToTheDesktopBeforeItIsReplaced();
    void aBlankTabIsReplacedWithoutWritingAnything();
    void aBoundTabWritesItsEditsBackBeforeTakingTheNextFile();
    void furtherFilesGetNewTabsAtTheEndAndTheLastIsSelected();
    void anUnreadableFileIsSkippedAndTheOthersStillLoad();
    void contentThatIsNotUtf8ShowsEmptyAndLeavesTheTabUnbound();
    void anEmptyListChangesNothing();
    void aFileThatIsOpenAlreadySelectsItsTab();
    void activeTabFileIgnoresTheMirrorWhileATabIsActive();
    void viewGivesBackTheFileExactly_data();
    void viewGivesBackTheFileExactly();
    void aNoteThatCannotBeSavedStaysInItsTab();

private:
    QString makeFile(const QString &name, const QByteArray &bytes) const;
    QUrl makeUrl(const QString &name, const QByteArray &bytes) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

QString tst_OpeningFiles::makeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = m_dir->filePath(name);
    if (!TestFiles::write(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QUrl tst_OpeningFiles::makeUrl(const QString &name, const QByteArray &bytes) const
{
    return QUrl::fromLocalFile(makeFile(name, bytes));
}

void tst_OpeningFiles::init()
{
    QDir(desktop()).removeRecursively();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_OpeningFiles::bytesDecodeAsStrictUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isUtf8");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty file") << QByteArray() << true << QString();
    QTest::newRow("umlauts and a check box")
        << QByteArray("gr\xC3\xBC\xC3\x9F \xE2\x98\x90") << true << QStringLiteral("grüß ☐");
    QTest::newRow("leading byte-order mark is kept")
        << QByteArray("\xEF\xBB\xBFhi") << true << QStringLiteral("\uFEFFhi");
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xE9") << false << QString();
    QTest::newRow("sequence cut off at the end") << QByteArray("ab\xE2\x82") << false << QString();
    QTest::newRow("overlong encoding") << QByteArray("\xC0\x80") << false << QString();
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << false << QString();
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false << QString();
    QTest::newRow("UTF-16 with its mark") << QByteArray("\xFF\xFEh\0i\0", 6) << false << QString();
}

void tst_OpeningFiles::bytesDecodeAsStrictUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isUtf8);
    QFETCH(QString, text);
    const NoteFileReader::Content content = NoteFileReader::decode(bytes);
    QCOMPARE(content.isUtf8, isUtf8);
    QCOMPARE(content.text, text);
}

void tst_OpeningFiles::unreadablePathsAreNotRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << QStringLiteral("missing");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("named pipe") << QStringLiteral("fifo");
    QTest::newRow("no permission") << QStringLiteral("private");
    QTest::newRow("not a local file") << QStringLiteral("remote");
}

void tst_OpeningFiles::unreadablePathsAreNotRead()
{
    QFETCH(QString, kind);
    const QString path = m_dir->filePath(kind);
    QUrl url = QUrl::fromLocalFile(path);
    if (kind == u"folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == u"fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == u"private") {
        if (geteuid() == 0)
            QSKIP("root may read any file, so the case cannot be set up");
        makeFile(kind, "secret");
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    } else if (kind == u"remote") {
        url = QUrl(QStringLiteral("https://example.org/note.txt"));
    }
    QVERIFY(!NoteFileReader::read(url));
}

void tst_OpeningFiles::aFileReplacesTheActiveTabAndBindsItKeepingItsTitle()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QUrl url = makeUrl(QStringLiteral("a.txt"), "from the file");
    session.updateTabTitleDraft(session.selectedTabId(), QStringLiteral("Plan"));

    session.loadFile(url);

    QCOMPARE(session.tabs().size(), 1);
    const EditorTab &tab = session.tabs().first();
    QCOMPARE(tab.cachedText, QStringLiteral("from the file"));
    QCOMPARE(tab.openedFileURL, url);
    QCOMPARE(session.openedFileURL(), url);
    QCOMPARE(session.cachedText(), QStringLiteral("from the file"));
    QCOMPARE(view.plainText(), QStringLiteral("from the file"));
    QCOMPARE(view.typingAttributes().character.fontPointSize(), 11.0);
    QCOMPARE(session.title(tab), QStringLiteral("Plan")); // the tab keeps its title
}

void tst_OpeningFiles::textFromNoFileIsSavedToTheDesktopBeforeItIsReplaced()
{
    AttachedView attached;
    auto &[session, view] = attached;
    view.insertPlainText(QStringLiteral("typed before"));

    session.loadFile(makeUrl(QStringLiteral("a.txt"), "file"));

    const QStringList saved = desktopFiles();
    QCOMPARE(saved.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d\\.txt$"))
                .match(saved.first())
                .hasMatch());
    QCOMPARE(TestFiles::contents(QDir(desktop()).filePath(saved.first())), "typed before");
    QCOMPARE(view.plainText(), QStringLiteral("file"));
}

void tst_OpeningFiles::aBlankTabIsReplacedWithoutWritingAnything()
{
    NoteSession session;
    session.updateActiveTabText(QStringLiteral("  \n\t"));
    session.loadFile(makeUrl(QStringLiteral("a.txt"), "file"));
    QVERIFY(desktopFiles().isEmpty());
    QCOMPARE(session.tabs().size(), 1);
    QCOMPARE(session.activeTabPlainText(), QStringLiteral("file"));
}

void tst_OpeningFiles::aBoundTabWritesItsEditsBackBeforeTakingTheNextFile()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QString first = makeFile(QStringLiteral("first.txt"), "old");
    session.loadFile(QUrl::fromLocalFile(first));
    view.selectAll();
    view.insertPlainText(QStringLiteral("edited"));

    session.loadFile(makeUrl(QStringLiteral("second.txt"), "second"));

    QCOMPARE(TestFiles::contents(first), QByteArray("edited"));
    QVERIFY(desktopFiles().isEmpty());
    QCOMPARE(session.activeTabPlainText(), QStringLiteral("second"));
}

void tst_OpeningFiles::furtherFilesGetNewTabsAtTheEndAndTheLastIsSelected()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QUuid first = session.tabs().first().id;
    session.addTab();
    session.selectTab(first);
    const QList<QUrl> urls = { makeUrl(QStringLiteral("1.txt"), "one"),
        makeUrl(QStringLiteral("2.txt"), "two"), makeUrl(QStringLiteral("3.txt"), "three") };

    session.loadFiles(urls);

    const QList<EditorTab> tabs = session.tabs();
    QCOMPARE(tabs.size(), 4);
    QCOMPARE(tabs.at(0).cachedText, QStringLiteral("one"));
    QCOMPARE(tabs.at(1).cachedText, QString());
    QCOMPARE(tabs.at(2).cachedText, QStringLiteral("two"));
    QCOMPARE(tabs.at(3).cachedText, QStringLiteral("three"));
    QCOMPARE(tabs.at(2).openedFileURL, urls.at(1));
    QCOMPARE(session.selectedTabId(), tabs.at(3).id);
    QCOMPARE(view.plainText(), QStringLiteral("three"));
    QVERIFY(desktopFiles().isEmpty());
}

void tst_OpeningFiles::anUnreadableFileIsSkippedAndTheOthersStillLoad()
{
    NoteSession session;
    session.updateActiveTabText(QStringLiteral("kept"));
    const QUrl missing = QUrl::fromLocalFile(m_dir->filePath(QStringLiteral("missing.txt")));
    const QUrl folder = QUrl::fromLocalFile(m_dir->path());
    const QUrl good = makeUrl(QStringLiteral("good.txt"), "good");

    session.loadFiles({ missing, good, folder });

    const QList<EditorTab> tabs = session.tabs();
    QCOMPARE(tabs.size(), 3);
    // The active tab was saved before the read failed, and keeps its text.
    QCOMPARE(tabs.at(0).cachedText, QStringLiteral("kept"));
    QCOMPARE(desktopFiles().size(), 1);
    QCOMPARE(tabs.at(1).cachedText, QStringLiteral("good"));
    QCOMPARE(tabs.at(2).cachedText, QString());
    QCOMPARE(tabs.at(2).openedFileURL, std::nullopt);
    QCOMPARE(session.selectedTabId(), tabs.at(2).id);
}

void tst_OpeningFiles::contentThatIsNotUtf8ShowsEmptyAndLeavesTheTabUnbound()
{
    AttachedView attached;
    auto &[session, view] = attached;
    session.loadFile(makeUrl(QStringLiteral("bound.txt"), "bound before"));
    const QByteArray latin1("caf\xE9\n");
    const QString path = makeFile(QStringLiteral("latin1.txt"), latin1);

    session.loadFile(QUrl::fromLocalFile(path));

    QCOMPARE(view.plainText(), QString());
    QCOMPARE(session.tabs().first().openedFileURL, std::nullopt);
    QCOMPARE(session.openedFileURL(), std::nullopt);
    view.insertPlainText(QStringLiteral("typed"));
    QCOMPARE(session.activeTabOpenedFileURL(), std::nullopt);
    QCOMPARE(TestFiles::contents(path), latin1);
}

void tst_OpeningFiles::anEmptyListChangesNothing()
{
    AttachedView attached;
    auto &[session, view] = attached;
    view.insertPlainText(QStringLiteral("typed"));
    QSignalSpy spy(&session, &NoteSession::objectWillChange);
    session.loadFiles({});
    QCOMPARE(spy.count(), 0);
    QVERIFY(desktopFiles().isEmpty());
}

void tst_OpeningFiles::aFileThatIsOpenAlreadySelectsItsTab()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QString path = makeFile(QStringLiteral("a.txt"), "on disk");
    session.loadFile(QUrl::fromLocalFile(path));
    const QUuid holder = session.selectedTabId();
    view.selectAll();
    view.insertPlainText(QStringLiteral("edited, not saved yet"));
    session.addTab();

    // Reached by another path to the same file.
    session.loadFiles({ QUrl::fromLocalFile(m_dir->path() + QStringLiteral("/./a.txt")) });

    QCOMPARE(session.tabs().size(), 2);
    QCOMPARE(session.selectedTabId(), holder);
    QCOMPARE(session.tabs().first().cachedText, QStringLiteral("edited, not saved yet"));
}

void tst_OpeningFiles::activeTabFileIgnoresTheMirrorWhileATabIsActive()
{
    NoteSession session;
    const QUrl url = makeUrl(QStringLiteral("a.txt"), "text");
    session.loadFile(url);
    session.addTab();
    QCOMPARE(session.activeTabOpenedFileURL(), std::nullopt);
    session.selectTab(QUuid::createUuid());
    session.loadFiles({ makeUrl(QStringLiteral("b.txt"), "b") });
    QCOMPARE(session.tabs().size(), 2);
}

void tst_OpeningFiles::viewGivesBackTheFileExactly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR line ends") << QByteArray("one\rtwo");
    QTest::newRow("byte-order mark and CR LF") << QByteArray("\xEF\xBB\xBFone\r\ntwo\r\n");
    QTest::newRow("no-break space and line separator") << QByteArray("a\xC2\xA0"
                                                                     "b\xE2\x80\xA8"
                                                                     "c");
}

void tst_OpeningFiles::viewGivesBackTheFileExactly()
{
    QFETCH(QByteArray, bytes);
    AttachedView attached;
    auto &[session, view] = attached;
    session.loadFile(makeUrl(QStringLiteral("a.txt"), bytes));
    QCOMPARE(session.activeTabPlainText().toUtf8(), bytes);
    QCOMPARE(session.currentText().toUtf8(), bytes);
}

void tst_OpeningFiles::aNoteThatCannotBeSavedStaysInItsTab()
{
    if (geteuid() == 0)
        QSKIP("root may write into any folder, so the case cannot be set up");
    const QString locked = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(locked));
    const QString bound = makeFile(QStringLiteral("locked/note.txt"), "old");
    NoteSession session;
    session.loadFile(QUrl::fromLocalFile(bound));
    session.updateActiveTabText(QStringLiteral("edited"));
    QVERIFY(QFile::setPermissions(bound, QFile::ReadOwner));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    // Nowhere to go: neither the desktop nor the folder for recovered notes can be made.
    QVERIFY(QDir().mkpath(QFileInfo(desktop()).path()));
    QVERIFY(QFile::setPermissions(QFileInfo(desktop()).path(), QFile::ReadOwner | QFile::ExeOwner));

    session.loadFile(makeUrl(QStringLiteral("next.txt"), "next"));

    QVERIFY(QFile::setPermissions(
        QFileInfo(desktop()).path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(session.tabs().size(), 2);
    QCOMPARE(session.tabs().at(0).cachedText, QStringLiteral("edited"));
    QCOMPARE(session.tabs().at(1).cachedText, QStringLiteral("next"));
}

WISPEN_TEST_MAIN(tst_OpeningFiles)
#include "tst_openingfiles.moc"
