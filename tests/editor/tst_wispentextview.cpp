#include "editor/wispentextview.h"
#include "session/notesession.h"
#include "testmain.h"

#include <QSignalSpy>

class tst_WispenTextView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textComesBackExactlyAsItWentIn_data();
    void textComesBackExactlyAsItWentIn();
    void aLineTypedIntoANoteEndsInTheNotesStyle_data();
    void aLineTypedIntoANoteEndsInTheNotesStyle();
    void replacingTheContentIsNeitherAnEditNorAnUndoStep();
};

void tst_WispenTextView::textComesBackExactlyAsItWentIn_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("LF") << u"one\ntwo\n"_qs;
    QTest::newRow("CR LF") << u"one\r\ntwo\r\n\r\nthree"_qs;
    QTest::newRow("CR") << u"one\rtwo\r"_qs;
    QTest::newRow("no-break space and line separator") << u"a\u00a0b\u2028c\nd"_qs;
    QTest::newRow("byte-order mark and glyphs") << u"\ufeff☐ milk\r\n☑ eggs"_qs;
    QTest::newRow("only line breaks") << u"\r\n\r\n"_qs;
    QTest::newRow("tabs and trailing spaces") << u"\tx  \n  "_qs;
}

void tst_WispenTextView::textComesBackExactlyAsItWentIn()
{
    QFETCH(QString, text);
    WispenTextView view;
    view.replaceContent(text, NoteSession::defaultAttributes());
    QCOMPARE(view.plainText(), text);
}

void tst_WispenTextView::aLineTypedIntoANoteEndsInTheNotesStyle_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("expected");

    QTest::newRow("CR LF") << u"first\r\n"_qs << u"first\r\nnext\r\n"_qs;
    QTest::newRow("CR") << u"first\r"_qs << u"first\rnext\r"_qs;
    QTest::newRow("LF") << u"first\n"_qs << u"first\nnext\n"_qs;
    QTest::newRow("no break yet") << u"first"_qs << u"firstnext\n"_qs;
}

void tst_WispenTextView::aLineTypedIntoANoteEndsInTheNotesStyle()
{
    QFETCH(QString, note);
    QFETCH(QString, expected);
    WispenTextView view;
    view.replaceContent(note, NoteSession::defaultAttributes());
    view.moveCursor(QTextCursor::End);

    QTest::keyClicks(&view, QStringLiteral("next"));
    QTest::keyClick(&view, Qt::Key_Return);

    QCOMPARE(view.plainText(), expected);
}

void tst_WispenTextView::replacingTheContentIsNeitherAnEditNorAnUndoStep()
{
    WispenTextView view;
    QTest::keyClicks(&view, QStringLiteral("typed"));
    QSignalSpy changes(&view, &WispenTextView::textChanged);

    view.replaceContent(u"restored"_qs, NoteSession::defaultAttributes());

    QCOMPARE(changes.size(), 0);
    QVERIFY(!view.document()->isUndoAvailable());
    QCOMPARE(view.textCursor().position(), 0);
    QTest::keyClicks(&view, QStringLiteral("x"));
    QCOMPARE(changes.size(), 1);
    QVERIFY(view.document()->isUndoAvailable());
}

WISPEN_TEST_MAIN(tst_WispenTextView)
#include "tst_wispentextview.moc"
