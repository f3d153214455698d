#include "editordriver.h"
#include "testfiles.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using EditorDriver::AttachedView;

// The note session with the real text view attached: what is typed reaches the tabs, and what
// the session shows reaches the view.
class tst_SessionView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QDir(TestFiles::desktop()).removeRecursively(); }
    void switchingAndClosingTabsCarryTheViewsTextIntoTheTabBeingLeft();
    void attachingAViewShowsTheActiveTabInDefaultAttributesUntilTheViewIsGone();
    void aLoadedFileAppearsInTheViewOnceWhatWasTypedIsSaved();
};

void tst_SessionView::switchingAndClosingTabsCarryTheViewsTextIntoTheTabBeingLeft()
{
    AttachedView attached;
    auto &[session, view] = attached;
    const QUuid first = session.selectedTabId();
    view.setPlainText(u"first note"_qs);

    session.addTab();
    QCOMPARE(session.tabs().first().cachedText, u"first note"_qs);
    QCOMPARE(session.cachedText(), QString());

    view.setPlainText(u"second note"_qs);
    session.selectTab(first);
    QCOMPARE(session.tabs().last().cachedText, u"second note"_qs);
    QCOMPARE(session.cachedText(), u"first note"_qs);

    view.setPlainText(u"typed into the first"_qs);
    session.closeTab(session.tabs().last().id);
    QCOMPARE(session.tabs().first().cachedText, u"typed into the first"_qs);
    QSignalSpy changes(&session, &NoteSession::objectWillChange);
    session.flushActiveTabFromTextView(); // unchanged text is still one write-back
    QCOMPARE(changes.size(), 1);
}

void tst_SessionView::attachingAViewShowsTheActiveTabInDefaultAttributesUntilTheViewIsGone()
{
    NoteSession session;
    session.updateActiveTabText(u"restored"_qs);
    {
        WispenTextView view;
        view.setHtml(u"<p align=center><u><b style='font:italic 30pt Serif'>old</b></u></p>"_qs);

        session.attachTextView(&view);

        QCOMPARE(view.plainText(), u"restored"_qs);
        QTextCursor cursor(view.document());
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().fontPointSize(), 11.0);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
        QVERIFY(!cursor.charFormat().fontItalic() && !cursor.charFormat().fontUnderline());
        QCOMPARE(
            cursor.charFormat().fontFamilies().toStringList(), QApplication::font().families());
        QCOMPARE(cursor.blockFormat().alignment(), Qt::AlignLeft);
        QCOMPARE(view.currentCharFormat().fontPointSize(), 11.0);
        view.setPlainText(u"from the view"_qs);
        QCOMPARE(session.currentText(), u"from the view"_qs);
    }
    QCOMPARE(session.textView(), nullptr);
    session.flushActiveTabFromTextView();
    QCOMPARE(session.currentText(), u"restored"_qs);
}

void tst_SessionView::aLoadedFileAppearsInTheViewOnceWhatWasTypedIsSaved()
{
    AttachedView attached;
    auto &[session, view] = attached;
    EditorDriver::show(&view);
    const QTemporaryDir dir;
    const QByteArray bytes("\xEF\xBB\xBFone\r\ntwo\r\n");
    QVERIFY(TestFiles::write(dir.filePath(u"a.txt"_qs), bytes));
    view.insertPlainText(u"typed before"_qs);
    EditorDriver::select(&view, 0, 5);
    EditorDriver::makeSelectionBold(&view);
    session.updateFormattingState();
    QVERIFY(session.isBold());
    view.clearFocus();

    session.loadFile(QUrl::fromLocalFile(dir.filePath(u"a.txt"_qs)));

    const QStringList saved = TestFiles::desktopFiles();
    QCOMPARE(saved.size(), 1);
    QCOMPARE(
        TestFiles::contents(QDir(TestFiles::desktop()).filePath(saved.first())), "typed before");
    QCOMPARE(view.plainText().toUtf8(), bytes);
    QCOMPARE(session.currentText().toUtf8(), bytes);
    QCOMPARE(view.typingAttributes().character.fontPointSize(), 11.0);
    QVERIFY(!session.isBold()); // the panel shows the loaded file's formatting
    QTRY_VERIFY(view.hasFocus());
}

WISPEN_TEST_MAIN(tst_SessionView)
#include "tst_sessionview.moc"
