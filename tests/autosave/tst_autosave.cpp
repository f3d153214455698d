#include "autosave/autosavemanager.h"
#include "autosave/notenaming.h"
#include "testfiles.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

using TestFiles::desktop;
using TestFiles::desktopFiles;

class tst_AutoSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void blankNotesAreNeverWritten_data();
    void blankNotesAreNeverWritten();
    void aNoteGoesBackToItsOwnFileWhateverItsTitle();
    void anUnchangedNoteLeavesItsFileAlone();
    void desktopFileIsNamedAfterTheTitleOrTheDate_data();
    void desktopFileIsNamedAfterTheTitleOrTheDate();
    void theTextIsWrittenUntrimmedAsUtf8WithoutBom();
    void aMissingDesktopFolderIsCreated();
    void aNewFileNeverReplacesADifferentNote_data();
    void aNewFileNeverReplacesADifferentNote();
    void untitledNotesInDifferentMinutesGetDifferentFiles();
    void aNameTooLongForTheFileSystemIsCutAtACharacterBoundary();
    void aFailedWriteGoesToTheRecoveredFolder_data();
    void aFailedWriteGoesToTheRecoveredFolder();
    void aSymbolicLinkStaysALinkAndItsTargetKeepsItsPermissions();
    void aFileInAFolderThatAdmitsNoNewFileIsWrittenInPlace();

private:
    QTemporaryDir m_dir;
    const QDateTime m_now { QDate(2026, 12, 5), QTime(14, 7, 31) };
};

void tst_AutoSave::init()
{
    QDir(desktop()).removeRecursively();
    QDir(AutoSaveManager::recoveredFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(desktop()));
}

void tst_AutoSave::blankNotesAreNeverWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces and line breaks") << u"  \n\r\n\t \u2028"_qs;
}

void tst_AutoSave::blankNotesAreNeverWritten()
{
    QFETCH(QString, text);
    const QString own = m_dir.filePath(QStringLiteral("own.txt"));
    QVERIFY(TestFiles::write(own, "kept"));

    QCOMPARE(AutoSaveManager::saveIfNeeded(text, QUrl::fromLocalFile(own), std::nullopt, m_now),
        QString());
    QCOMPARE(AutoSaveManager::saveIfNeeded(text, std::nullopt, u"Title"_qs, m_now), QString());

    QCOMPARE(TestFiles::contents(own), QByteArray("kept"));
    QVERIFY(desktopFiles().isEmpty());
}

void tst_AutoSave::aNoteGoesBackToItsOwnFileWhateverItsTitle()
{
    const QString own = m_dir.filePath(QStringLiteral("own.txt"));
    QVERIFY(TestFiles::write(own, "old text that is longer"));

    const QString saved
        = AutoSaveManager::saveIfNeeded(u"new"_qs, QUrl::fromLocalFile(own), u"A Title"_qs, m_now);

    QCOMPARE(saved, own);
    QCOMPARE(TestFiles::contents(own), QByteArray("new"));
    QVERIFY(desktopFiles().isEmpty());
}

void tst_AutoSave::anUnchangedNoteLeavesItsFileAlone()
{
    const QString own = m_dir.filePath(QStringLiteral("own.txt"));
    QVERIFY(TestFiles::write(own, "same"));
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    {
        QFile file(own);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(past, QFileDevice::FileModificationTime));
    }

    QCOMPARE(
        AutoSaveManager::saveIfNeeded(u"same"_qs, QUrl::fromLocalFile(own), std::nullopt), own);
    QCOMPARE(QFileInfo(own).lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
}

void tst_AutoSave::desktopFileIsNamedAfterTheTitleOrTheDate_data()
{
    QTest::addColumn<std::optional<QString>>("title");
    QTest::addColumn<QString>("fileName");

    const QString dated = QStringLiteral("2026-12-05_14-07.txt");
    QTest::newRow("no title") << std::optional<QString>() << dated;
    QTest::newRow("Untitled") << std::optional(u"Untitled"_qs) << dated;
    QTest::newRow("empty title") << std::optional(QString()) << dated;
    QTest::newRow("only spaces") << std::optional(u"   "_qs) << dated;
    QTest::newRow("lower-case untitled is a name")
        << std::optional(u"untitled"_qs) << u"untitled.txt"_qs;
    QTest::newRow("blanks, slash and colon") << std::optional(u"  a/b:c  "_qs) << u"a-b-c.txt"_qs;
    QTest::newRow("ends in .txt already") << std::optional(u"notes.txt"_qs) << u"notes.txt.txt"_qs;
    QTest::newRow("leading dots give a hidden file") << std::optional(u".."_qs) << u"...txt"_qs;
}

void tst_AutoSave::desktopFileIsNamedAfterTheTitleOrTheDate()
{
    QFETCH(std::optional<QString>, title);
    QFETCH(QString, fileName);

    const QString saved = AutoSaveManager::saveIfNeeded(u"note"_qs, std::nullopt, title, m_now);

    QCOMPARE(saved, QDir(desktop()).filePath(fileName));
    QCOMPARE(desktopFiles(), QStringList { fileName });
    QCOMPARE(TestFiles::contents(saved), QByteArray("note"));
}

void tst_AutoSave::theTextIsWrittenUntrimmedAsUtf8WithoutBom()
{
    const QString text = u"\n\n  ☐ café\r\n\u00a0 \n"_qs;
    const QString saved = AutoSaveManager::saveIfNeeded(text, std::nullopt, std::nullopt, m_now);
    QCOMPARE(TestFiles::contents(saved), text.toUtf8());
    QVERIFY(!TestFiles::contents(saved).startsWith("\xef\xbb\xbf"));
}

void tst_AutoSave::aMissingDesktopFolderIsCreated()
{
    QVERIFY(QDir(desktop()).removeRecursively());
    const QString saved = AutoSaveManager::saveIfNeeded(u"x"_qs, std::nullopt, u"T"_qs, m_now);
    QCOMPARE(saved, QDir(desktop()).filePath(u"T.txt"_qs));
    QCOMPARE(TestFiles::contents(saved), QByteArray("x"));
}

void tst_AutoSave::aNewFileNeverReplacesADifferentNote_data()
{
    QTest::addColumn<QStringList>("existing"); // "name=contents"
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<int>("expectedFileCount");

    QTest::newRow("name free") << QStringList() << u"Plan.txt"_qs << 1;
    QTest::newRow("name holds the same text")
        << QStringList { u"Plan.txt=note"_qs } << u"Plan.txt"_qs << 1;
    QTest::newRow("name holds another note")
        << QStringList { u"Plan.txt=other"_qs } << u"Plan 2.txt"_qs << 2;
    QTest::newRow("first two names taken")
        << QStringList { u"Plan.txt=other"_qs, u"Plan 2.txt=more"_qs } << u"Plan 3.txt"_qs << 3;
    QTest::newRow("second name holds the same text")
        << QStringList { u"Plan.txt=other"_qs, u"Plan 2.txt=note"_qs } << u"Plan 2.txt"_qs << 2;
    QTest::newRow("name is a folder") << QStringList { u"Plan.txt/"_qs } << u"Plan 2.txt"_qs << 1;
}

void tst_AutoSave::aNewFileNeverReplacesADifferentNote()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expectedName);
    QFETCH(int, expectedFileCount);

    QMap<QString, QByteArray> before;
    for (const QString &entry : existing) {
        const QString path = QDir(desktop()).filePath(entry.section(u'=', 0, 0));
        if (path.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
        before.insert(path, entry.section(u'=', 1).toUtf8());
        QVERIFY(TestFiles::write(path, before.value(path)));
    }

    const QString saved
        = AutoSaveManager::saveIfNeeded(u"note"_qs, std::nullopt, u"Plan"_qs, m_now);

    QCOMPARE(saved, QDir(desktop()).filePath(expectedName));
    QCOMPARE(TestFiles::contents(saved), QByteArray("note"));
    QCOMPARE(desktopFiles().size(), expectedFileCount);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(TestFiles::contents(it.key()), it.value());
}

void tst_AutoSave::untitledNotesInDifferentMinutesGetDifferentFiles()
{
    const QString first
        = AutoSaveManager::saveIfNeeded(u"one"_qs, std::nullopt, std::nullopt, m_now);
    const QString second
        = AutoSaveManager::saveIfNeeded(u"two"_qs, std::nullopt, std::nullopt, m_now.addSecs(60));
    const QString third
        = AutoSaveManager::saveIfNeeded(u"three"_qs, std::nullopt, std::nullopt, m_now.addSecs(61));
    QCOMPARE(QFileInfo(first).fileName(), u"2026-12-05_14-07.txt"_qs);
    QCOMPARE(QFileInfo(second).fileName(), u"2026-12-05_14-08.txt"_qs);
    QCOMPARE(QFileInfo(third).fileName(), u"2026-12-05_14-08 2.txt"_qs);
    QCOMPARE(TestFiles::contents(third), QByteArray("three"));
}

void tst_AutoSave::aNameTooLongForTheFileSystemIsCutAtACharacterBoundary()
{
    // 'é' is two bytes of UTF-8 and '😀' four, so a byte cut could fall inside either.
    const QString title2
        = QString(100, u'é') + QString(30, u'x') + QStringLiteral("😀").repeated(50);

    const QString saved = AutoSaveManager::saveIfNeeded(u"a"_qs, std::nullopt, title2, m_now);
    const QString name = QFileInfo(saved).fileName();
    QVERIFY2(!saved.isEmpty(), "the note was not written");
    QVERIFY(name.toUtf8().size() <= 255);
    QVERIFY(name.endsWith(u".txt"));
    QVERIFY(title2.startsWith(name.chopped(4)));
    QVERIFY(!name.chopped(4).back().isHighSurrogate());

    const QString second = AutoSaveManager::saveIfNeeded(u"b"_qs, std::nullopt, title2, m_now);
    QVERIFY(QFileInfo(second).fileName().toUtf8().size() <= 255);
    QVERIFY(QFileInfo(second).fileName().endsWith(u" 2.txt"));
}

void tst_AutoSave::aFailedWriteGoesToTheRecoveredFolder_data()
{
    QTest::addColumn<bool>("ownFile");
    QTest::newRow("desktop path is a file") << false;
    QTest::newRow("own file's folder cannot exist") << true;
}

void tst_AutoSave::aFailedWriteGoesToTheRecoveredFolder()
{
    QFETCH(bool, ownFile);
    // A regular file where a folder must be fails for root too, unlike permissions.
    std::optional<QUrl> url;
    if (ownFile) {
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        QVERIFY(TestFiles::write(blocker, ""));
        url = QUrl::fromLocalFile(blocker + QStringLiteral("/note.txt"));
    } else {
        QVERIFY(QDir(desktop()).removeRecursively());
        QVERIFY(TestFiles::write(desktop(), "not a folder"));
    }

    const QString saved = AutoSaveManager::saveIfNeeded(u"rescued"_qs, url, u"T"_qs, m_now);

    QCOMPARE(saved, QDir(AutoSaveManager::recoveredFolder()).filePath(u"2026-12-05_14-07.txt"_qs));
    QCOMPARE(TestFiles::contents(saved), QByteArray("rescued"));
    QFile::remove(desktop());
}

void tst_AutoSave::aSymbolicLinkStaysALinkAndItsTargetKeepsItsPermissions()
{
    const QString target = m_dir.filePath(QStringLiteral("target.txt"));
    const QString link = m_dir.filePath(QStringLiteral("link.txt"));
    QVERIFY(TestFiles::write(target, "old"));
    const auto permissions
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));
    QVERIFY(QFile::link(target, link));

    QCOMPARE(
        AutoSaveManager::saveIfNeeded(u"new"_qs, QUrl::fromLocalFile(link), std::nullopt), link);

    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(TestFiles::contents(target), QByteArray("new"));
    QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
}

void tst_AutoSave::aFileInAFolderThatAdmitsNoNewFileIsWrittenInPlace()
{
    if (geteuid() == 0)
        QSKIP("root may create files in any folder, so the case cannot be set up");
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString own = folder + QStringLiteral("/own.txt");
    QVERIFY(TestFiles::write(own, "old"));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const QString saved
        = AutoSaveManager::saveIfNeeded(u"new"_qs, QUrl::fromLocalFile(own), std::nullopt);

    QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(saved, own);
    QCOMPARE(TestFiles::contents(own), QByteArray("new"));
}

WISPEN_TEST_MAIN(tst_AutoSave)
#include "tst_autosave.moc"
