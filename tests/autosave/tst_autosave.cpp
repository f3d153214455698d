#include "autosave/autosavemanager.h"
#include "testfiles.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>

using TestFiles::desktop;

// Root ignores permission bits unless the calling thread gives up the capability to; it is
// taken back afterwards. So a folder without write permission refuses a new file to root too.
static bool bindRootByPermissionBits(bool bind)
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct caps[2] {};
    syscall(SYS_capget, &header, caps);
    caps[0].effective = bind ? caps[0].effective & ~(1u << CAP_DAC_OVERRIDE) : caps[0].permitted;
    return syscall(SYS_capset, &header, caps) == 0;
}

class tst_AutoSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void aNoteGoesBackToItsOwnFileUnlessBlankOrUnchanged_data();
    void aNoteGoesBackToItsOwnFileUnlessBlankOrUnchanged();
    void aDesktopFileIsNamedAfterTheTitleAndNeverReplacesAnotherNote_data();
    void aDesktopFileIsNamedAfterTheTitleAndNeverReplacesAnotherNote();
    void aNoteThatCannotGoWhereItBelongsGoesToTheRecoveredFolder_data();
    void aNoteThatCannotGoWhereItBelongsGoesToTheRecoveredFolder();

private:
    QTemporaryDir m_dir;
    const QDateTime m_now { QDate(2026, 12, 5), QTime(14, 7, 31) };
};

void tst_AutoSave::init()
{
    QFile::remove(desktop());
    QDir(desktop()).removeRecursively();
    QDir(AutoSaveManager::recoveredFolder()).removeRecursively();
}

void tst_AutoSave::aNoteGoesBackToItsOwnFileUnlessBlankOrUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("place");
    QTest::addColumn<bool>("written");
    QTest::newRow("shorter text") << u"new"_qs << u"file"_qs << true;
    QTest::newRow("untrimmed, not ASCII") << u"\n\n  ☐ café\r\n\u00a0 \n"_qs << u"file"_qs << true;
    QTest::newRow("unchanged") << u"old text"_qs << u"file"_qs << false;
    QTest::newRow("empty") << QString() << u"file"_qs << false;
    QTest::newRow("spaces and line breaks") << u"  \n\r\n\t \u2028"_qs << u"file"_qs << false;
    QTest::newRow("through a symbolic link") << u"new"_qs << u"link"_qs << true;
    QTest::newRow("in a folder that admits no new file") << u"new"_qs << u"locked"_qs << true;
}

void tst_AutoSave::aNoteGoesBackToItsOwnFileUnlessBlankOrUnchanged()
{
    QFETCH(QString, text);
    QFETCH(QString, place);
    QFETCH(bool, written);
    const QTemporaryDir dir;
    const QString target = dir.filePath(u"note.txt"_qs);
    const QString own = place == u"link" ? dir.filePath(u"link.txt"_qs) : target;
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old text") == 8 && file.flush());
    QVERIFY(
        file.setFileTime(past, QFile::FileModificationTime) && file.setPermissions(permissions));
    file.close();
    QVERIFY(place != u"link" || QFile::link(target, own));
    if (place == u"locked") {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(bindRootByPermissionBits(true));
        QVERIFY(!QFile(dir.filePath(u"probe"_qs)).open(QIODevice::WriteOnly));
    }

    const QString saved = AutoSaveManager::saveIfNeeded(text, QUrl::fromLocalFile(own), u"T"_qs);
    QVERIFY(bindRootByPermissionBits(false));
    QVERIFY(
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QCOMPARE(saved, text.trimmed().isEmpty() ? QString() : own);
    QCOMPARE(TestFiles::contents(target), written ? text.toUtf8() : "old text");
    QCOMPARE(
        QFileInfo(target).lastModified().toSecsSinceEpoch() == past.toSecsSinceEpoch(), !written);
    QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
    QCOMPARE(QFileInfo(own).isSymLink(), place == u"link");
    QVERIFY(TestFiles::desktopFiles().isEmpty());
}

void tst_AutoSave::aDesktopFileIsNamedAfterTheTitleAndNeverReplacesAnotherNote_data()
{
    QTest::addColumn<std::optional<QString>>("title");
    QTest::addColumn<QStringList>("existing"); // "name=contents", "name/" a folder, "name>" a link
    QTest::addColumn<QString>("expectedName");
    auto row
        = [](const char *name, std::optional<QString> title, QStringList existing,
              const QString &expected) { QTest::newRow(name) << title << existing << expected; };
    const QString dated = u"2026-12-05_14-07.txt"_qs;
    row("no title", std::nullopt, {}, dated);
    row("Untitled", u"Untitled"_qs, {}, dated);
    row("only spaces", u" \t "_qs, {}, dated);
    row("lower-case untitled is a name", u"untitled"_qs, {}, u"untitled.txt"_qs);
    row("blanks, slash and colon", u"  a/b:c  "_qs, {}, u"a-b-c.txt"_qs);
    row("ends in .txt already", u"notes.txt"_qs, {}, u"notes.txt.txt"_qs);
    row("tabs and line breaks", u"a\tb\nc\u2028d"_qs, {}, u"a b c d.txt"_qs);
    row("control characters", u"a\u0000b\u0001c\u007f\u009fd"_qs, {}, u"abcd.txt"_qs);
    row("bidirectional controls", u"\u202egnp\u202c\u200e.\u2066x\u2069"_qs, {}, u"gnp.x.txt"_qs);
    row("only control characters", u"\u0000\u001b\u200f"_qs, {}, dated);
    row("a leading dot", u".hidden"_qs, {}, u"hidden.txt"_qs);
    row("dots and blanks before the name", u" .\u0001 .. x "_qs, {}, u"x.txt"_qs);
    row("only dots", u". .."_qs, {}, dated);
    row("Untitled behind a dot", u".Untitled"_qs, {}, dated);
    row("name holds the same text", u"P"_qs, { u"P.txt=note"_qs }, u"P.txt"_qs);
    row("name holds another note of that size", u"P"_qs, { u"P.txt=nope"_qs }, u"P 2.txt"_qs);
    row("two names taken", u"P"_qs, { u"P.txt=1"_qs, u"P 2.txt=2"_qs }, u"P 3.txt"_qs);
    row("second name holds the same text", u"P"_qs, { u"P.txt=1"_qs, u"P 2.txt=note"_qs },
        u"P 2.txt"_qs);
    row("name is a folder", u"P"_qs, { u"P.txt/"_qs }, u"P 2.txt"_qs);
    row("name is a link to nowhere", u"P"_qs, { u"P.txt>"_qs }, u"P 2.txt"_qs);
    // A name keeps within 255 bytes of UTF-8, cut where a character ends: 'é' takes two bytes,
    // '😀' four, so the cut falls inside the first '😀', or an 'é' when " 2" must fit too.
    const QString ascii(300, u'a'), wide = QString(125, u'é') + u"😀"_qs.repeated(9);
    row("long title", ascii, {}, ascii.first(251) + u".txt"_qs);
    row("long title, second copy", ascii, { ascii.first(251) + u".txt=1"_qs },
        ascii.first(249) + u" 2.txt"_qs);
    row("long title of wide characters", wide, {}, wide.first(125) + u".txt"_qs);
    row("long title of wide characters, second copy", wide, { wide.first(125) + u".txt=1"_qs },
        wide.first(124) + u" 2.txt"_qs);
    // A grapheme can be any number of combining marks long; a cut never splits one.
    const QString longGrapheme = u"e"_qs + QString(300, u'\u0301');
    row("one grapheme too long for a name", longGrapheme, {}, dated);
    row("a short grapheme before a long one", u"a"_qs + longGrapheme, {}, u"a.txt"_qs);
}

void tst_AutoSave::aDesktopFileIsNamedAfterTheTitleAndNeverReplacesAnotherNote()
{
    QFETCH(std::optional<QString>, title);
    QFETCH(QStringList, existing);
    QFETCH(QString, expectedName);
    const QString nowhere = m_dir.filePath(u"nowhere"_qs);
    const QDir dir(desktop());
    QVERIFY(existing.isEmpty() || dir.mkpath(u"."_qs)); // else saving makes the folder
    for (const QString &entry : existing) {
        const QString path = dir.filePath(entry.section(QRegularExpression(u"[=/>]"_qs), 0, 0));
        if (entry.endsWith(u'/'))
            QVERIFY(dir.mkpath(path));
        else if (entry.endsWith(u'>'))
            QVERIFY(QFile::link(nowhere, path));
        else
            QVERIFY(TestFiles::write(path, entry.section(u'=', 1).toUtf8()));
    }

    const QString saved = AutoSaveManager::saveIfNeeded(u"note"_qs, std::nullopt, title, m_now);

    QCOMPARE(saved, dir.filePath(expectedName));
    QCOMPARE(TestFiles::contents(saved), QByteArray("note"));
    for (const QString &entry : existing.filter(u"="_qs))
        QCOMPARE(TestFiles::contents(dir.filePath(entry.section(u'=', 0, 0))),
            entry.section(u'=', 1).toUtf8());
    QVERIFY(!QFileInfo::exists(nowhere));
}

void tst_AutoSave::aNoteThatCannotGoWhereItBelongsGoesToTheRecoveredFolder_data()
{
    // A regular file where a folder must be, and a file-size limit, fail for root too.
    QTest::addColumn<QUrl>("ownFile");
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("desktop path is a file") << QUrl() << false;
    QTest::newRow("own file's folder is a file")
        << QUrl::fromLocalFile(m_dir.filePath(u"blocker/note.txt"_qs)) << false;
    QTest::newRow("own file is not local") << QUrl(u"https://example.org/note.txt"_qs) << false;
    QTest::newRow("disk full, so nowhere")
        << QUrl::fromLocalFile(m_dir.filePath(u"own.txt"_qs)) << true;
}

void tst_AutoSave::aNoteThatCannotGoWhereItBelongsGoesToTheRecoveredFolder()
{
    QFETCH(QUrl, ownFile);
    QFETCH(bool, diskFull);
    const QString own = m_dir.filePath(u"own.txt"_qs);
    QVERIFY(TestFiles::write(m_dir.filePath(u"blocker"_qs), "") && TestFiles::write(own, "old"));
    QVERIFY(!ownFile.isEmpty() || TestFiles::write(desktop(), "not a folder"));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit unlimited {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit limit { diskFull ? 4 : unlimited.rlim_cur, unlimited.rlim_max };
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const QString saved = AutoSaveManager::saveIfNeeded(
        u"rescued"_qs, ownFile.isEmpty() ? std::nullopt : std::optional(ownFile), u"T"_qs, m_now);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &unlimited), 0);

    const QDir recovered(AutoSaveManager::recoveredFolder());
    QCOMPARE(saved, diskFull ? QString() : recovered.filePath(u"2026-12-05_14-07.txt"_qs));
    QCOMPARE(TestFiles::contents(saved), diskFull ? "<unreadable>" : QByteArray("rescued"));
    QCOMPARE(TestFiles::contents(own), QByteArray("old")); // never cut short
    QCOMPARE(QDir(m_dir.path()).entryList({ u"own.txt*"_qs }, QDir::Files | QDir::Hidden),
        QStringList { u"own.txt"_qs });
}

WISPEN_TEST_MAIN(tst_AutoSave)
#include "tst_autosave.moc"
