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
    using Place = SaveOutcome::Place;
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("place"); // how the own file stands when the note is saved
    QTest::addColumn<bool>("edited");
    QTest::addColumn<Place>("expected");
    QTest::newRow("shorter text") << u"new"_qs << u"file"_qs << true << Place::OwnFile;
    QTest::newRow("untrimmed, not ASCII")
        << u"\n\n  ☐ café\r\n\u00a0 \n"_qs << u"file"_qs << true << Place::OwnFile;
    QTest::newRow("same text") << u"old text"_qs << u"file"_qs << true << Place::Unchanged;
    QTest::newRow("not edited") << u"other"_qs << u"file"_qs << false << Place::Unchanged;
    QTest::newRow("empty") << QString() << u"file"_qs << true << Place::Nowhere;
    QTest::newRow("spaces and line breaks")
        << u"  \n\r\n\t \u2028"_qs << u"file"_qs << true << Place::Nowhere;
    QTest::newRow("through a symbolic link") << u"new"_qs << u"link"_qs << true << Place::OwnFile;
    QTest::newRow("in a folder that admits no new file")
        << u"new"_qs << u"locked"_qs << true << Place::OwnFile;
    QTest::newRow("changed by another program")
        << u"new"_qs << u"changed"_qs << true << Place::BesideChangedFile;
    QTest::newRow("changed elsewhere, not edited here")
        << u"new"_qs << u"changed"_qs << false << Place::Unchanged;
    QTest::newRow("deleted meanwhile") << u"new"_qs << u"gone"_qs << true << Place::OwnFile;
}

void tst_AutoSave::aNoteGoesBackToItsOwnFileUnlessBlankOrUnchanged()
{
    using Place = SaveOutcome::Place;
    QFETCH(QString, text);
    QFETCH(QString, place);
    QFETCH(bool, edited);
    QFETCH(Place, expected);
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
    const std::optional<FileStamp> loaded = FileStamp::of(target);
    QVERIFY(place != u"link" || QFile::link(target, own));
    QByteArray before = "old text";
    if (place == u"changed") {
        before = "theirs!!"; // the same size, a second later
        QVERIFY(TestFiles::write(target, before));
        QVERIFY(setModified(target, past.addSecs(1)));
    }
    QVERIFY(place != u"gone" || QFile::remove(target));
    if (place == u"locked") {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(bindRootByPermissionBits(true));
        QVERIFY(!QFile(dir.filePath(u"probe"_qs)).open(QIODevice::WriteOnly));
    }

    const SaveOutcome outcome
        = AutoSaveManager::save({ text, QUrl::fromLocalFile(own), loaded, edited, u"T"_qs, m_now });
    QVERIFY(bindRootByPermissionBits(false));
    QVERIFY(
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QCOMPARE(outcome.place, expected);
    const bool written = expected == Place::OwnFile;
    if (place == u"gone") {
        QCOMPARE(TestFiles::contents(target), text.toUtf8());
        return;
    }
    QCOMPARE(TestFiles::contents(target), written ? text.toUtf8() : before);
    QCOMPARE(QFileInfo(target).lastModified().toSecsSinceEpoch()
            == past.addSecs(place == u"changed").toSecsSinceEpoch(),
        !written);
    QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
    QCOMPARE(QFileInfo(own).isSymLink(), place == u"link");
    if (expected == Place::BesideChangedFile) {
        // Beside it on the desktop, as private as the file it stands for.
        QCOMPARE(TestFiles::desktopFiles(), QStringList { u"note.txt (recovered).txt"_qs });
        QCOMPARE(outcome.path, QDir(desktop()).filePath(u"note.txt (recovered).txt"_qs));
        QCOMPARE(TestFiles::contents(outcome.path), text.toUtf8());
        QCOMPARE(QFile::permissions(outcome.path) & 0x7077, permissions);
        QVERIFY(SaveNotice::about({ text, QUrl::fromLocalFile(own) }, outcome)
                    ->text.contains(u"note.txt (recovered).txt"_qs));
    } else {
        QVERIFY(TestFiles::desktopFiles().isEmpty());
        QVERIFY(!SaveNotice::about({}, outcome));
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

void tst_AutoSave::aNoteThatCannotGoWhereItBelongsGoesToTheRecoveredFolder_data()
{
    // A regular file where a folder must be, and a file-size limit, fail for root too.
    QTest::addColumn<QUrl>("ownFile");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("expectedName"); // the name it would have had; empty for nowhere
    QTest::newRow("desktop path is a file") << QUrl() << false << u"T.txt"_qs;
    QTest::newRow("own file's folder is a file")
        << QUrl::fromLocalFile(m_dir.filePath(u"blocker/note.txt"_qs)) << false << u"note.txt"_qs;
    QTest::newRow("own file is not local")
        << QUrl(u"https://example.org/note.txt"_qs) << false << u"2026-12-05_14-07.txt"_qs;
    QTest::newRow("own file changed, desktop path is a file") << QUrl::fromLocalFile(
        m_dir.filePath(u"own.txt"_qs)) << false << u"own.txt (recovered).txt"_qs;
    QTest::newRow("disk full, so nowhere")
        << QUrl::fromLocalFile(m_dir.filePath(u"own.txt"_qs)) << true << QString();
}

void tst_AutoSave::aNoteThatCannotGoWhereItBelongsGoesToTheRecoveredFolder()
{
    QFETCH(QUrl, ownFile);
    QFETCH(bool, diskFull);
    QFETCH(QString, expectedName);
    const QString own = m_dir.filePath(u"own.txt"_qs);
    QVERIFY(TestFiles::write(m_dir.filePath(u"blocker"_qs), "") && TestFiles::write(own, "old"));
    QVERIFY(QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner));
    const std::optional<FileStamp> loaded = FileStamp::of(own);
    const bool changed = expectedName.contains(u"(recovered)");
    QVERIFY(!changed || TestFiles::write(own, "new"));
    QVERIFY(!changed || setModified(own, m_now));
    QVERIFY((ownFile.isEmpty() || changed) ? TestFiles::write(desktop(), "not a folder") : true);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit unlimited {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit limit { diskFull ? 4 : unlimited.rlim_cur, unlimited.rlim_max };
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const NoteToSave note { u"rescued"_qs,
        ownFile.isEmpty() ? std::nullopt : std::optional(ownFile), loaded, true, u"T"_qs, m_now };
    const SaveOutcome outcome = AutoSaveManager::save(note);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &unlimited), 0);

    const QDir recovered(AutoSaveManager::recoveredFolder());
    const QString expected = diskFull ? QString() : recovered.filePath(expectedName);
    QCOMPARE(outcome.place, diskFull ? SaveOutcome::Place::Failed : SaveOutcome::Place::Recovered);
    QCOMPARE(outcome.path, expected);
    QCOMPARE(TestFiles::contents(expected), diskFull ? "<unreadable>" : QByteArray("rescued"));
    QCOMPARE(TestFiles::contents(own), QByteArray(changed ? "new" : "old")); // never cut short
    QCOMPARE(QDir(m_dir.path()).entryList({ u"own.txt*"_qs }, QDir::Files | QDir::Hidden),
        QStringList { u"own.txt"_qs });
    QCOMPARE(QFile::permissions(recovered.path()) & 0x7077,
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (changed) // a copy of a file is as private as the file
        QCOMPARE(QFile::permissions(expected) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    const auto notice = SaveNotice::about(note, outcome);
    QVERIFY(notice && notice->folder == (diskFull ? QString() : recovered.path()));
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
