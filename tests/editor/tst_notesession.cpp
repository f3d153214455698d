#include "editor/wispentextview.h"
#include "editordriver.h"
#include "session/notesession.h"
#include "testfiles.h"
#include "testmain.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>

using EditorDriver::AttachedView;
using TestFiles::desktop;

class tst_NoteSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void freshSessionHasOneBlankSelectedTab();
    void addTabAppendsAfterTheLastTabAndSelectsIt();
    void closingTheSelectedTabSelectsItsLeftNeighbour_data();
    void closingTheSelectedTabSelectsItsLeftNeighbour();
    void closingTheOnlyTabSavesItAndLeavesOneBlankTab();
    void closingABlankTabWritesNothing();
    void closingAnUnknownIdOnlyFlushes();
    void selectingTheSelectedTabDoesNothing();
    void switchingTabsCarriesTheViewsTextIntoTheTabBeingLeft();
    void everyWriteBackIsExactlyOneNotification();
    void withoutATextViewTheTabTextStandsIn();
    void selectingAnUnknownIdFallsBackToTheMirroredText();
    void attachingAViewShowsTheActiveTabInDefaultAttributes();

    void titleOfATab_data();
    void titleOfATab();
    void draftsAreStoredAsTypedAndCommitsTrimThem_data();
    void draftsAreStoredAsTypedAndCommitsTrimThem();
    void renamingAnUnknownTabNotifiesNobody();

    void copyPreferenceIsWrittenOnEveryAssignmentAndReadBack();

private:
    static QList<QUuid> ids(const NoteSession &session);
};

QList<QUuid> tst_NoteSession::ids(const NoteSession &session)
{
    QList<QUuid> result;
    for (const EditorTab &tab : session.tabs())
        result.append(tab.id);
    return result;
}

void tst_NoteSession::init()
{
    QDir(desktop()).removeRecursively();
    QSettings().clear();
}

void tst_NoteSession::freshSessionHasOneBlankSelectedTab()
{
    const NoteSession session;
    QCOMPARE(session.tabs().size(), 1);
    const EditorTab &tab = session.tabs().first();
    QVERIFY(!tab.id.isNull());
    QCOMPARE(tab.customTitle, std::nullopt);
    QCOMPARE(tab.cachedText, QString());
    QCOMPARE(tab.openedFileURL, std::nullopt);
    QCOMPARE(session.selectedTabId(), tab.id);
    QCOMPARE(session.openedFileURL(), std::nullopt);
    QCOMPARE(session.cachedText(), QString());
}

void tst_NoteSession::addTabAppendsAfterTheLastTabAndSelectsIt()
{
    NoteSession session;
    session.addTab();
    session.addTab();
    const QList<QUuid> before = ids(session);
    session.selectTab(before.first());

    session.addTab();

    const QList<QUuid> after = ids(session);
    QCOMPARE(after.size(), 4);
    QCOMPARE(after.first(3), before);
    QCOMPARE(session.selectedTabId(), after.last());
    QVERIFY(!before.contains(after.last()));
}

void tst_NoteSession::closingTheSelectedTabSelectsItsLeftNeighbour_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("closed");
    QTest::addColumn<int>("expectedSelected"); // index in the list before closing

    QTest::newRow("selected third of four") << 2 << 2 << 1;
    QTest::newRow("selected first of four") << 0 << 0 << 1;
    QTest::newRow("selected last of four") << 3 << 3 << 2;
    QTest::newRow("another tab closed") << 1 << 3 << 1;
}

void tst_NoteSession::closingTheSelectedTabSelectsItsLeftNeighbour()
{
    QFETCH(int, selected);
    QFETCH(int, closed);
    QFETCH(int, expectedSelected);

    NoteSession session;
    for (int i = 0; i < 3; ++i)
        session.addTab();
    const QList<QUuid> before = ids(session);
    session.selectTab(before.at(selected));

    session.closeTab(before.at(closed));

    QList<QUuid> expected = before;
    expected.removeAt(closed);
    QCOMPARE(ids(session), expected);
    QCOMPARE(session.selectedTabId(), before.at(expectedSelected));
}

void tst_NoteSession::closingTheOnlyTabSavesItAndLeavesOneBlankTab()
{
    NoteSession session;
    const QUuid first = session.selectedTabId();
    session.updateActiveTabText(QStringLiteral("groceries"));
    session.updateTabTitleDraft(first, QStringLiteral("Shopping"));

    session.closeTab(first);

    QCOMPARE(session.tabs().size(), 1);
    QVERIFY(session.tabs().first().id != first);
    QCOMPARE(session.tabs().first().cachedText, QString());
    QCOMPARE(session.selectedTabId(), session.tabs().first().id);
    QCOMPARE(session.cachedText(), QString());
    QCOMPARE(
        TestFiles::contents(QDir(desktop()).filePath(u"Shopping.txt"_qs)), QByteArray("groceries"));
}

void tst_NoteSession::closingABlankTabWritesNothing()
{
    NoteSession session;
    session.addTab();
    session.updateActiveTabText(QStringLiteral("  \n\t "));
    session.closeTab(session.selectedTabId());
    QCOMPARE(session.tabs().size(), 1);
    QVERIFY(QDir(desktop()).isEmpty());
}

void tst_NoteSession::closingAnUnknownIdOnlyFlushes()
{
    AttachedView attached;
    auto &[session, view] = attached;
    view.setPlainText(QStringLiteral("typed"));
    QSignalSpy changes(&session, &NoteSession::objectWillChange);
    const QList<QUuid> before = ids(session);

    session.closeTab(QUuid::createUuid());

    QCOMPARE(ids(session), before);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(session.tabs().first().cachedText, QStringLiteral("typed"));
    QVERIFY(QDir(desktop()).isEmpty());
}

void tst_NoteSession::selectingTheSelectedTabDoesNothing()
{
    AttachedView attached;
    auto &[session, view] = attached;
    view.setPlainText(QStringLiteral("not flushed"));
    QSignalSpy changes(&session, &NoteSession::objectWillChange);

    session.selectTab(session.selectedTabId());

    QCOMPARE(changes.size(), 0);
    QCOMPARE(session.tabs().first().cachedText, QString());
}

void tst_NoteSession::switchingTabsCarriesTheViewsTextIntoTheTabBeingLeft()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QUuid first = session.selectedTabId();
    view.setPlainText(QStringLiteral("first note"));

    session.addTab();
    QCOMPARE(session.tabs().first().cachedText, QStringLiteral("first note"));
    QCOMPARE(session.cachedText(), QString());

    view.setPlainText(QStringLiteral("second note"));
    session.selectTab(first);
    QCOMPARE(session.tabs().last().cachedText, QStringLiteral("second note"));
    QCOMPARE(session.activeTabPlainText(), QStringLiteral("first note"));
    QCOMPARE(session.cachedText(), QStringLiteral("first note"));
}

void tst_NoteSession::everyWriteBackIsExactlyOneNotification()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QUuid id = session.selectedTabId();
    QSignalSpy changes(&session, &NoteSession::objectWillChange);

    session.updateActiveTabText(QStringLiteral("a"));
    QCOMPARE(changes.size(), 1);
    session.flushActiveTabFromTextView(); // unchanged text still notifies
    QCOMPARE(changes.size(), 2);
    session.updateTabTitleDraft(id, QStringLiteral(" x"));
    QCOMPARE(changes.size(), 3);
    session.commitTabTitle(id);
    QCOMPARE(changes.size(), 4);
    session.commitTabTitle(id); // nothing left to trim, still one write-back
    QCOMPARE(changes.size(), 5);
    session.syncPublishedFromActiveTab(); // openedFileURL, also when unchanged
    QCOMPARE(changes.size(), 6);
}

void tst_NoteSession::withoutATextViewTheTabTextStandsIn()
{
    NoteSession session;
    session.updateActiveTabText(QStringLiteral("kept"));
    QSignalSpy changes(&session, &NoteSession::objectWillChange);

    session.flushActiveTabFromTextView();

    QCOMPARE(changes.size(), 0);
    QCOMPARE(session.currentText(), QStringLiteral("kept"));

    {
        WispenTextView view;
        session.attachTextView(&view);
        view.setPlainText(QStringLiteral("from the view"));
        QCOMPARE(session.currentText(), QStringLiteral("from the view"));
    }
    // The session's reference goes away with the view.
    QCOMPARE(session.textView(), nullptr);
    QCOMPARE(session.currentText(), QStringLiteral("kept"));
}

void tst_NoteSession::selectingAnUnknownIdFallsBackToTheMirroredText()
{
    NoteSession session;
    session.updateActiveTabText(QStringLiteral("mirrored"));
    const QUuid unknown = QUuid::createUuid();

    session.selectTab(unknown);

    QCOMPARE(session.selectedTabId(), unknown);
    QCOMPARE(session.activeTabPlainText(), QStringLiteral("mirrored"));
    QCOMPARE(session.currentText(), QStringLiteral("mirrored"));
    QSignalSpy changes(&session, &NoteSession::objectWillChange);
    session.updateActiveTabText(QStringLiteral("lost"));
    QCOMPARE(changes.size(), 0);
    QCOMPARE(session.cachedText(), QStringLiteral("mirrored"));
}

void tst_NoteSession::attachingAViewShowsTheActiveTabInDefaultAttributes()
{
    NoteSession session;
    session.updateActiveTabText(QStringLiteral("restored"));
    WispenTextView view;
    view.setHtml(QStringLiteral("<p align=center><b style='font-size:30pt'>old</b></p>"));

    session.attachTextView(&view);

    QCOMPARE(view.plainText(), QStringLiteral("restored"));
    QTextCursor cursor(view.document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(cursor.charFormat().fontPointSize(), 11.0);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    QCOMPARE(cursor.blockFormat().alignment(), Qt::AlignLeft);
    QCOMPARE(view.currentCharFormat().fontPointSize(), 11.0);
    QVERIFY(!view.document()->isUndoAvailable());
}

void tst_NoteSession::titleOfATab_data()
{
    QTest::addColumn<std::optional<QString>>("customTitle");
    QTest::addColumn<QString>("title");

    QTest::newRow("no title") << std::optional<QString>() << u"Untitled"_qs;
    QTest::newRow("surrounding blanks") << std::optional(u"  Plans \n"_qs) << u"Plans"_qs;
    QTest::newRow("only spaces") << std::optional(u"   "_qs) << u"Untitled"_qs;
    QTest::newRow("literally Untitled") << std::optional(u"Untitled"_qs) << u"Untitled"_qs;
    QTest::newRow("very long") << std::optional(QString(400, u'w')) << QString(400, u'w');
}

void tst_NoteSession::titleOfATab()
{
    QFETCH(std::optional<QString>, customTitle);
    QFETCH(QString, title);
    EditorTab tab = EditorTab::blank();
    tab.customTitle = customTitle;
    tab.cachedText = QStringLiteral("text never names a tab");
    QCOMPARE(NoteSession().title(tab), title);
}

void tst_NoteSession::draftsAreStoredAsTypedAndCommitsTrimThem_data()
{
    QTest::addColumn<QString>("draft");
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<std::optional<QString>>("committed");

    QTest::newRow("space then letter")
        << u" a"_qs << std::optional(u" a"_qs) << std::optional(u"a"_qs);
    QTest::newRow("words with blanks")
        << u"  Two words \n"_qs << std::optional(u"  Two words \n"_qs)
        << std::optional(u"Two words"_qs);
    QTest::newRow("only spaces") << u"   "_qs << std::optional(u"   "_qs)
                                 << std::optional<QString>();
    QTest::newRow("empty") << QString() << std::optional<QString>() << std::optional<QString>();
}

void tst_NoteSession::draftsAreStoredAsTypedAndCommitsTrimThem()
{
    QFETCH(QString, draft);
    QFETCH(std::optional<QString>, stored);
    QFETCH(std::optional<QString>, committed);

    NoteSession session;
    session.addTab();
    const QUuid id = session.tabs().first().id; // renaming need not be the selected tab
    session.updateTabTitleDraft(id, draft);
    QCOMPARE(session.tabs().first().customTitle, stored);
    session.commitTabTitle(id);
    QCOMPARE(session.tabs().first().customTitle, committed);
    QCOMPARE(session.tabs().last().customTitle, std::nullopt);
}

void tst_NoteSession::renamingAnUnknownTabNotifiesNobody()
{
    NoteSession session;
    QSignalSpy changes(&session, &NoteSession::objectWillChange);
    session.updateTabTitleDraft(QUuid::createUuid(), QStringLiteral("x"));
    session.commitTabTitle(QUuid::createUuid());
    QCOMPARE(changes.size(), 0);
    QCOMPARE(session.tabs().first().customTitle, std::nullopt);
}

void tst_NoteSession::copyPreferenceIsWrittenOnEveryAssignmentAndReadBack()
{
    {
        NoteSession session; // reading the default writes nothing
        QVERIFY(session.copyPreservesLineBreaks());
        QVERIFY(!QSettings().contains(QStringLiteral("copyPreservesLineBreaks")));
        QSignalSpy changes(&session, &NoteSession::objectWillChange);
        session.setCopyPreservesLineBreaks(true); // unchanged, still stored
        QCOMPARE(changes.size(), 1);
        QVERIFY(QSettings().contains(QStringLiteral("copyPreservesLineBreaks")));
        session.setCopyPreservesLineBreaks(false);
    }
    QVERIFY(!NoteSession().copyPreservesLineBreaks());
}

WISPEN_TEST_MAIN(tst_NoteSession)
#include "tst_notesession.moc"
