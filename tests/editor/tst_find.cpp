#include "editor/findbar.h"
#include "editor/findcontroller.h"
#include "editor/notesearch.h"
#include "editordriver.h"
#include "testmain.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using NoteSearch::Match;

Q_DECLARE_METATYPE(NoteSearch::Options)

// Find and replace as a person uses them: the bar's field, Enter and Shift+Enter, the two
// options, Replace and Replace All, Escape; and the search itself over a long note.
class tst_Find : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesAreFoundByCaseAndWholeWords_data();
    void matchesAreFoundByCaseAndWholeWords();
    void enterAndShiftEnterWalkTheMatchesAroundTheNote();
    void replaceAllIsOneUndoStepAndTheTabFollows();
    void aLongNoteIsSearchedWithoutPaintingEveryMatch();
};

void tst_Find::matchesAreFoundByCaseAndWholeWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<NoteSearch::Options>("options");
    QTest::addColumn<QList<int>>("positions");
    const auto row = [](const char *name, const QString &text, const QString &needle,
                         NoteSearch::Options options, const QList<int> &positions) {
        QTest::newRow(name) << text << needle << options << positions;
    };
    row("any case", u"Cat cat CAT"_qs, u"cat"_qs, {}, { 0, 4, 8 });
    row("match case", u"Cat cat CAT"_qs, u"cat"_qs, { true, false }, { 4 });
    row("whole words", u"cat concat cat_ cats (cat)"_qs, u"cat"_qs, { false, true }, { 0, 22 });
    row("no overlaps", u"aaaa"_qs, u"aa"_qs, {}, { 0, 2 });
    row("empty needle", u"text"_qs, QString(), {}, {});
    row("letters beyond ASCII", u"Straße STRASSE straße"_qs, u"straße"_qs, {}, { 0, 15 });
}

void tst_Find::matchesAreFoundByCaseAndWholeWords()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(NoteSearch::Options, options);
    QFETCH(QList<int>, positions);
    QList<int> found;
    for (const Match &match : NoteSearch::findAll(text, needle, options))
        found << match.position;
    QCOMPARE(found, positions);
}

void tst_Find::enterAndShiftEnterWalkTheMatchesAroundTheNote()
{
    EditorDriver::ShownEditor shown;
    FindBar bar(shown.view, shown.editor.get());
    EditorDriver::setText(shown.view, u"one two one\nthree one"_qs);
    EditorDriver::select(shown.view, 4, 7); // "two" is picked up by the bar
    bar.open(false);
    QCOMPARE(bar.findField()->text(), u"two"_qs);
    QVERIFY(bar.findField()->hasFocus());
    bar.findField()->clear();
    QTest::keyClicks(bar.findField(), u"ONE"_qs);
    QTRY_COMPARE(bar.controller()->matches().size(), 3);
    QCOMPARE(bar.status(), u"3 matches"_qs);
    QCOMPARE(shown.view->extraSelections().size(), 3);

    const auto selected = [&] { return shown.view->textCursor().selectionStart(); };
    QTest::keyClick(bar.findField(), Qt::Key_Return);
    QCOMPARE(selected(), 8);
    QTest::keyClick(bar.findField(), Qt::Key_Return);
    QCOMPARE(selected(), 18);
    QTest::keyClick(bar.findField(), Qt::Key_Return); // around to the start
    QCOMPARE(selected(), 0);
    QTest::keyClick(bar.findField(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(selected(), 18);
    bar.matchCaseBox()->setChecked(true);
    QTRY_COMPARE(bar.status(), u"0 matches"_qs);

    QTest::keyClick(bar.findField(), Qt::Key_Escape);
    QVERIFY(bar.isHidden());
    QVERIFY(shown.view->extraSelections().isEmpty());
    QTRY_VERIFY(shown.view->hasFocus());
}

void tst_Find::replaceAllIsOneUndoStepAndTheTabFollows()
{
    EditorDriver::ShownEditor shown;
    FindBar bar(shown.view);
    EditorDriver::setText(shown.view, u"a cat, a cat\r\nand a catalogue"_qs);
    bar.open(true);
    bar.wholeWordsBox()->setChecked(true);
    QTest::keyClicks(bar.findField(), u"cat"_qs);
    QTest::keyClicks(bar.replaceField(), u"dog"_qs);
    QTest::keyClick(bar.replaceField(), Qt::Key_Return); // the first Replace selects a match
    QTest::keyClick(bar.replaceField(), Qt::Key_Return);
    QCOMPARE(shown.view->plainText(), u"a dog, a cat\r\nand a catalogue"_qs);

    bar.replaceField()->setText(u"bird"_qs);
    bar.replaceAllButton()->click();
    QCOMPARE(shown.view->plainText(), u"a dog, a bird\r\nand a catalogue"_qs);
    QCOMPARE(shown.session.activeTabPlainText(), shown.view->plainText());
    shown.view->undo();
    QCOMPARE(shown.view->plainText(), u"a dog, a cat\r\nand a catalogue"_qs);
    QCOMPARE(shown.session.activeTabPlainText(), shown.view->plainText());
}

void tst_Find::aLongNoteIsSearchedWithoutPaintingEveryMatch()
{
    EditorDriver::ShownEditor shown;
    FindBar bar(shown.view);
    EditorDriver::setText(shown.view, u"a needle in the hay\n"_qs.repeated(50000));
    bar.open(false);
    QTest::keyClicks(bar.findField(), u"needle"_qs);
    // Typing in the note goes on while the search runs.
    QTest::keyClicks(shown.view, u"x"_qs);
    // The search starts over once the typing pauses.
    QVERIFY(!bar.controller()->isSettled());
    QTRY_VERIFY(bar.controller()->isSettled());
    QCOMPARE(bar.controller()->matches().size(), 50000);
    QVERIFY(!shown.view->extraSelections().isEmpty());
    QVERIFY(shown.view->extraSelections().size() < 100);
    QTest::keyClick(bar.findField(), Qt::Key_Return, Qt::ShiftModifier); // to the last one
    QCOMPARE(shown.view->textCursor().selectionStart(), 49999 * 20 + 2 + 1);
}

WISPEN_TEST_MAIN(tst_Find)
#include "tst_find.moc"
