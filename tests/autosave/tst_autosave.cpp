#include "autosave/autosavemanager.h"
#include "autosave/savenotice.h"
#include "autosave/whitespace.h"
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

Q_DECLARE_METATYPE(SaveOutcome::Place)

static bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFile::FileModificationTime);
}

class tst_AutoSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void blanksAreExactlyTheListedCharacters_data();
    void blanksAreExactlyTheListedCharacters();
    void aNoteGoesToItsOwnFileOrWhereNothingIsLost_data();
    void aNoteGoesToItsOwnFileOrWhereNothingIsLost();
    void aDesktopFileIsNamedAfterTheTitleAndNeverReplacesAnotherNote_data();
    void aDesktopFileIsNamedAfterTheTitleAndNeverReplacesAnotherNote();

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

void tst_AutoSave::aNoteGoesToItsOwnFileOrWhereNothingIsLost_data()
{
    using Place = SaveOutcome::Place;
    QTest::addColumn<QString>("text");
    // The note's own file and how it stands at the save. A regular file where the desktop
    // must be, and a file-size limit, fail for root too.
    QTest::addColumn<QString>("own");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<Place>("expected");
    QTest::addColumn<QString>("savedAs"); // the name of a copy, beside or in Recovered
    const QString beside = u"note.txt (recovered).txt"_qs;
    auto row = [](const char *name, const QString &text, const char *own, bool edited,
                   Place expected, const QString &savedAs = {}) {
        QTest::newRow(name) << text << QString::fromUtf8(own) << edited << expected << savedAs;
    };
    row("shorter text", u"new"_qs, "file", true, Place::OwnFile);
    row("untrimmed, not ASCII", u"\n\n  ☐ café\r\n\u00a0 \n"_qs, "file", true, Place::OwnFile);
    row("same text", u"old text"_qs, "file", true, Place::Unchanged);
    row("not edited", u"other"_qs, "file", false, Place::Unchanged);
    row("empty", {}, "file", true, Place::Nowhere);
    row("spaces and line breaks", u"  \n\r\n\t \u2028"_qs, "file", true, Place::Nowhere);
    row("through a symbolic link", u"new"_qs, "link", true, Place::OwnFile);
    row("in a folder that admits no new file", u"new"_qs, "locked", true, Place::OwnFile);
    row("changed by another program", u"new"_qs, "changed", true, Place::BesideChangedFile, beside);
    row("changed elsewhere, not edited here", u"new"_qs, "changed", false, Place::Unchanged);
    row("deleted meanwhile", u"new"_qs, "gone", true, Place::OwnFile);
    row("no own file, desktop path is a file", u"rescued"_qs, "none, desktop blocked", true,
        Place::Recovered, u"T.txt"_qs);
    row("own file's folder is a file", u"rescued"_qs, "under a file", true, Place::Recovered,
        u"inner.txt"_qs);
    row("own file is not local", u"rescued"_qs, "remote", true, Place::Recovered,
        u"2026-12-05_14-07.txt"_qs);
    row("own file changed, desktop path is a file", u"rescued"_qs, "changed, desktop blocked", true,
        Place::Recovered, beside);
    row("disk full, so nowhere", u"rescued"_qs, "disk full", true, Place::Failed);
}

void tst_AutoSave::aNoteGoesToItsOwnFileOrWhereNothingIsLost()
{
    using Place = SaveOutcome::Place;
    QFETCH(QString, text);
    QFETCH(QString, own);
    QFETCH(bool, edited);
    QFETCH(Place, expected);
    QFETCH(QString, savedAs);
    const QTemporaryDir dir;
    const QString target = dir.filePath(u"note.txt"_qs);
    const QString ownPath = own == u"link" ? dir.filePath(u"link.txt"_qs)
        : own == u"under a file"           ? target + u"/inner.txt"_qs
                                           : target;
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(TestFiles::write(target, "old text") && setModified(target, past));
    QVERIFY(QFile::setPermissions(target, permissions));
    const std::optional<FileStamp> loaded = FileStamp::of(target);
    QVERIFY(own != u"link" || QFile::link(target, ownPath));
    QByteArray before = "old text";
    if (own.startsWith(u"changed")) {
        before = "theirs!!"; // the same size, a second later
        QVERIFY(TestFiles::write(target, before) && setModified(target, past.addSecs(1)));
    }
    QVERIFY(own != u"gone" || QFile::remove(target));
    if (own == u"locked") {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(bindRootByPermissionBits(true));
        QVERIFY(!QFile(dir.filePath(u"probe"_qs)).open(QIODevice::WriteOnly));
    }
    QVERIFY(!own.endsWith(u"desktop blocked") || TestFiles::write(desktop(), "not a folder"));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit unlimited {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit limit { own == u"disk full" ? 4 : unlimited.rlim_cur, unlimited.rlim_max };
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::optional<QUrl> url = own.startsWith(u"none") ? std::nullopt
        : own == u"remote" ? std::optional(QUrl(u"https://example.org/note.txt"_qs))
                           : std::optional(QUrl::fromLocalFile(ownPath));
    const NoteToSave note { text, url, loaded, edited, u"T"_qs, m_now };

    const SaveOutcome outcome = AutoSaveManager::save(note);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    QVERIFY(bindRootByPermissionBits(false));
    QVERIFY(
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const QString recovered = AutoSaveManager::recoveredFolder();
    const bool written = expected == Place::OwnFile;
    const QString saved = written || expected == Place::Unchanged ? ownPath
        : savedAs.isEmpty()
        ? QString()
        : QDir(expected == Place::Recovered ? recovered : desktop()).filePath(savedAs);
    QCOMPARE(outcome.place, expected);
    QCOMPARE(outcome.path, saved);
    QCOMPARE(TestFiles::contents(target), written ? text.toUtf8() : before); // never cut short
    if (!saved.isEmpty() && saved != ownPath)
        QCOMPARE(TestFiles::contents(saved), text.toUtf8());
    if (own != u"gone") {
        QCOMPARE(QFileInfo(target).lastModified().toSecsSinceEpoch()
                == past.addSecs(own.startsWith(u"changed")).toSecsSinceEpoch(),
            !written);
        QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
    }
    QCOMPARE(QFileInfo(ownPath).isSymLink(), own == u"link");
    // No temporary file is left beside the own file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
        (own == u"link" ? QStringList { u"link.txt"_qs, u"note.txt"_qs }
                        : QStringList { u"note.txt"_qs }));
    QCOMPARE(TestFiles::desktopFiles(),
        expected == Place::BesideChangedFile ? QStringList { QFileInfo(saved).fileName() }
                                             : QStringList());
    if (own.startsWith(u"changed") && saved != ownPath) // a copy is as private as the file
        QCOMPARE(QFile::permissions(saved) & 0x7077, permissions);
    if (expected == Place::Recovered)
        QCOMPARE(QFile::permissions(recovered) & 0x7077,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto notice = SaveNotice::about(note, outcome);
    QCOMPARE(notice.has_value(), outcome.isUnexpected());
    if (notice) {
        QVERIFY2(notice->text.contains(QFileInfo(saved).fileName()), qPrintable(notice->text));
        QCOMPARE(notice->folder, saved.isEmpty() ? QString() : QFileInfo(saved).path());
    }
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

    const QString saved
        = AutoSaveManager::save({ u"note"_qs, std::nullopt, std::nullopt, true, title, m_now })
              .path;

    QCOMPARE(saved, dir.filePath(expectedName));
    QCOMPARE(TestFiles::contents(saved), QByteArray("note"));
    for (const QString &entry : existing.filter(u"="_qs))
        QCOMPARE(TestFiles::contents(dir.filePath(entry.section(u'=', 0, 0))),
            entry.section(u'=', 1).toUtf8());
    QVERIFY(!QFileInfo::exists(nowhere));
}

void tst_AutoSave::blanksAreExactlyTheListedCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::addColumn<QString>("trimmedOfNewlines");

    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("tab, spaces and line breaks")
        << u"\t\n word \r\n"_qs << u"word"_qs << u"\t\n word "_qs;
    QTest::newRow("vertical tab, form feed, NEL")
        << u"\x0b\x0c\u0085a\u0085"_qs << u"a"_qs << u"a"_qs;
    QTest::newRow("no-break and ideographic spaces are no newlines")
        << u"\u00a0\u3000a\u2003"_qs << u"a"_qs << u"\u00a0\u3000a\u2003"_qs;
    QTest::newRow("line and paragraph separators") << u"\u2028a\u2029"_qs << u"a"_qs << u"a"_qs;
    QTest::newRow("inner blanks are kept") << u" a  b\nc "_qs << u"a  b\nc"_qs << u" a  b\nc "_qs;
    QTest::newRow("neighbours of the listed controls are kept")
        << u"\x08\x0e\u0084\u0086"_qs << u"\x08\x0e\u0084\u0086"_qs << u"\x08\x0e\u0084\u0086"_qs;
    QTest::newRow("zero-width space and BOM are not blank")
        << u"\u200b\ufeff"_qs << u"\u200b\ufeff"_qs << u"\u200b\ufeff"_qs;
    QTest::newRow("only blanks") << u" \n\t\u00a0"_qs << QString() << u" \n\t\u00a0"_qs;
}

void tst_AutoSave::blanksAreExactlyTheListedCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QFETCH(QString, trimmedOfNewlines);
    QCOMPARE(Whitespace::trimmed(text), trimmed);
    QCOMPARE(Whitespace::isBlank(text), trimmed.isEmpty());
    QCOMPARE(Whitespace::trimmedOfNewlines(text), trimmedOfNewlines);
}

WISPEN_TEST_MAIN(tst_AutoSave)
#include "tst_autosave.moc"
