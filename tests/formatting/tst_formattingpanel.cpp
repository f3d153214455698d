#include "editordriver.h"
#include "formatting/formattingpanel.h"
#include "formatting/infopopover.h"
#include "formatting/linebreakcheckbox.h"
#include "testmain.h"
#include "ui/symbolbutton.h"
#include "ui/textlabel.h"

#include <QHBoxLayout>
#include <QSettings>
#include <QSignalSpy>
#include <QTextBlock>

using namespace EditorDriver;
using Command = FormattingCommand;

// The panel beside a real editor, as the window holds them, and the commands its buttons run.
class tst_FormattingPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void aClickLightsItsButtonAtOnce_data();
    void aClickLightsItsButtonAtOnce();
    void theSizeLabelShowsTheIntegerPart();
    void aClickChangesTheSelectionRunByRunOrWhatIsTypedNext_data();
    void aClickChangesTheSelectionRunByRunOrWhatIsTypedNext();
    void alignmentCoversWholeParagraphsAndReturnKeepsIt_data();
    void alignmentCoversWholeParagraphsAndReturnKeepsIt();
    void theAppearanceAndCopyControlsToggleForThisRunAndTheNext();
    void theInfoButtonOpensAndClosesTheCreditsBesideIt();

private:
    void click(Command command) { QTest::mouseClick(m_panel->button(command), Qt::LeftButton); }
    // The names of the lit buttons, then the size label.
    static QString shown(const FormattingPanel *panel);

    // The window goes before the session its editor shows, here and in init().
    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<QWidget> m_window;
    FormattingPanel *m_panel = nullptr;
    WispenTextView *m_view = nullptr;
};

void tst_FormattingPanel::init()
{
    m_window.reset();
    QSettings().clear();
    m_session = std::make_unique<NoteSession>();
    m_window = std::make_unique<QWidget>();
    auto *editor = new RichTextEditor(*m_session);
    m_view = editor->textView();
    m_panel = new FormattingPanel(*m_session, m_view);
    auto *row = new QHBoxLayout(m_window.get());
    row->addWidget(m_panel);
    row->addWidget(editor);
    m_window->setGeometry(400, 20, 600, 520); // room on the left for the info popover
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

QString tst_FormattingPanel::shown(const FormattingPanel *panel)
{
    QStringList words;
    for (int command = 0; command <= int(Command::Checklist); ++command) {
        if (const SymbolButton *button = panel->button(Command(command)); button->isActive())
            words << button->accessibleName();
    }
    return (words << panel->fontSizeLabel()->text()).join(u", ");
}

void tst_FormattingPanel::aClickLightsItsButtonAtOnce_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("attached"); // to an editor
    QTest::addColumn<QString>("lit");

    QTest::newRow("bold") << Command::Bold << true << u"Bold, Align left, 11"_qs;
    QTest::newRow("italic") << Command::Italic << true << u"Italic, Align left, 11"_qs;
    QTest::newRow("underline") << Command::Underline << true << u"Underline, Align left, 11"_qs;
    QTest::newRow("bigger") << Command::Bigger << true << u"Align left, 12"_qs;
    QTest::newRow("smaller") << Command::Smaller << true << u"Align left, 10"_qs;
    QTest::newRow("centre") << Command::AlignCenter << true << u"Center, 11"_qs;
    QTest::newRow("right") << Command::AlignRight << true << u"Align right, 11"_qs;
    QTest::newRow("checklist") << Command::Checklist << true << u"Align left, Checklist, 11"_qs;
    QTest::newRow("no editor, nothing changes") << Command::Bold << false << u"Align left, 11"_qs;
}

void tst_FormattingPanel::aClickLightsItsButtonAtOnce()
{
    QFETCH(Command, command);
    QFETCH(bool, attached);
    QFETCH(QString, lit);
    FormattingPanel bare(*m_session, nullptr);
    bare.setVisible(!attached); // a window of its own, shown only when clicked
    FormattingPanel *panel = attached ? m_panel : &bare;
    QCOMPARE(shown(panel), u"Align left, 11"_qs);
    QSignalSpy changes(m_session.get(), &NoteSession::objectWillChange);

    QTest::mouseClick(panel->button(command), Qt::LeftButton);
    // Lit by the click's own refresh of the formatting state, on the panel's next turn.
    QCoreApplication::processEvents();

    QCOMPARE(shown(panel), lit);
    QCOMPARE(changes.isEmpty(), !attached);
}

void tst_FormattingPanel::theSizeLabelShowsTheIntegerPart()
{
    QCOMPARE(FormattingPanel::fontSizeText(12.5), u"12"_qs);
    QCOMPARE(FormattingPanel::fontSizeText(95.99), u"95"_qs);
}

void tst_FormattingPanel::aClickChangesTheSelectionRunByRunOrWhatIsTypedNext_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("after");

    const auto row = [](const char *name, const QString &before, int anchor, int position,
                         Command command, const QString &after) {
        QTest::newRow(name) << before << anchor << position << command << after;
    };
    row("bold flips each run", u"b b - -"_qs, 0, 4, Command::Bold, u"- - b b"_qs);
    row("italic flips each run", u"i - i"_qs, 0, 3, Command::Italic, u"- i -"_qs);
    row("only the selection changes", u"- - - -"_qs, 1, 3, Command::Bold, u"- b b -"_qs);
    row("the first's underline goes", u"- u u -"_qs, 3, 1, Command::Underline, u"- - - -"_qs);
    row("the first's lack of it goes", u"- u u -"_qs, 0, 3, Command::Underline, u"u u u -"_qs);
    row("bigger stops at 96", u"96 95.5"_qs, 0, 2, Command::Bigger, u"96 96"_qs);
    row("smaller stops at 8", u"8 8.5"_qs, 0, 2, Command::Smaller, u"8 8"_qs);
    row("mixed sizes move together", u"9 b20"_qs, 0, 2, Command::Smaller, u"8 b19"_qs);
    row("sizes are not rounded", u"- 12.5"_qs, 0, 2, Command::Bigger, u"12 13.5"_qs);
    // A word starting with "/" is a line break in that format.
    row("lines of one format as one", u"- /- /- -"_qs, 0, 4, Command::Bold, u"b b b b"_qs);
    row("at a caret, bold is typed", u"- -"_qs, 1, 1, Command::Bold, u"- b -"_qs);
    row("underline is typed", u"- -"_qs, 1, 1, Command::Underline, u"- u -"_qs);
    row("a bigger size is typed", u"b 13"_qs, 1, 1, Command::Bigger, u"b b12 13"_qs);
}

void tst_FormattingPanel::aClickChangesTheSelectionRunByRunOrWhatIsTypedNext()
{
    QFETCH(QString, before);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(Command, command);
    QFETCH(QString, after);
    QString text;
    QStringList words = before.split(u' ');
    for (QString &word : words)
        text += word.startsWith(u'/') ? (word.remove(0, 1), u'\n') : u'x';
    before = words.join(u' ');
    setText(m_view, text);
    formatCharacters(m_view, before);
    select(m_view, anchor, position);
    QSignalSpy changes(m_view, &WispenTextView::textChanged);
    m_view->clearFocus();

    click(command);

    QVERIFY(m_view->hasFocus()); // the keyboard goes back to the editor
    QCOMPARE(m_view->textCursor().anchor(), anchor);
    QCOMPARE(m_view->textCursor().position(), position);
    QCOMPARE(changes.isEmpty(), anchor == position);
    // A change of format never reaches the tab's text.
    QCOMPARE(m_session->activeTabPlainText(), QString());
    if (anchor == position)
        type(m_view, u"x"_qs);
    QCOMPARE(characterFormats(m_view), after);
    m_view->undo();
    QCOMPARE(characterFormats(m_view), before);
}

void tst_FormattingPanel::alignmentCoversWholeParagraphsAndReturnKeepsIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("caret inside a paragraph") << u"one\nt|wo\nthree"_qs << u"- c -"_qs;
    QTest::newRow("end of one into the next") << u"on[e\nt]wo\nthree"_qs << u"c c -"_qs;
    QTest::newRow("up to where a line starts, caret there") << u"[one\n]two"_qs << u"c -"_qs;
    QTest::newRow("up to where a line starts, caret before") << u"]one\n[two"_qs << u"c -"_qs;
    QTest::newRow("empty note") << u"|"_qs << u"c"_qs;
}

void tst_FormattingPanel::alignmentCoversWholeParagraphsAndReturnKeepsIt()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    setMarked(m_view, text);

    const auto alignments = [this] {
        QStringList words;
        for (QTextBlock block = m_view->document()->begin(); block.isValid(); block = block.next())
            words << (block.blockFormat().alignment() == Qt::AlignHCenter ? u"c"_qs : u"-"_qs);
        return words.join(u' ');
    };

    click(Command::AlignCenter);

    QCOMPARE(alignments(), expected);
    QCOMPARE(marked(m_view), text);
    // Even on an empty paragraph, where Qt's own Return would drop the alignment.
    m_view->moveCursor(QTextCursor::End);
    QTest::keyClick(m_view, Qt::Key_Return);
    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(alignments(), expected + QString(u' ' + expected.back()).repeated(2));
}

void tst_FormattingPanel::theInfoButtonOpensAndClosesTheCreditsBesideIt()
{
    QTest::mouseClick(m_panel->infoButton(), Qt::LeftButton);
    QVERIFY(m_panel->isShowingInfo());
    QTRY_VERIFY(m_panel->infoPopover()->isVisible());
    QStringList lines;
    for (const TextLabel *line : m_panel->infoPopover()->findChildren<TextLabel *>())
        lines << line->text();
    QCOMPARE(lines.join(u'|'),
        u"Wispen.|The Wispen contributors|Wispen|Copyright \u00a9 the Wispen contributors. All "
        u"rights reserved."_qs);
    QVERIFY(m_panel->infoPopover()->geometry().right()
        <= m_panel->infoButton()->mapToGlobal(QPoint(0, 0)).x());

    m_panel->infoPopover()->hide(); // as a click elsewhere dismisses it
    QVERIFY(!m_panel->isShowingInfo());
    QTest::mouseClick(m_panel->infoButton(), Qt::LeftButton);
    QVERIFY(m_panel->isShowingInfo());
    QTest::mouseClick(m_panel->infoButton(), Qt::LeftButton);
    QVERIFY(!m_panel->isShowingInfo());
    QVERIFY(!m_panel->infoPopover()->isVisible());
}

void tst_FormattingPanel::theAppearanceAndCopyControlsToggleForThisRunAndTheNext()
{
    for (const bool on : { false, true }) { // both start on
        QTest::mouseClick(m_panel->appearanceButton(), Qt::LeftButton);
        QCOMPARE(QSettings().value(u"isDarkMode"_qs).toBool(), on);
        // The symbol shows the appearance the next click brings; the button is never lit.
        QCOMPARE(m_panel->appearanceButton()->symbol(), on ? u"sun.max.fill"_qs : u"moon.fill"_qs);
        QVERIFY(!m_panel->appearanceButton()->isActive());
        QTest::mouseClick(m_panel->lineBreakCheckBox(), Qt::LeftButton);
        QCOMPARE(m_session->copyPreservesLineBreaks(), on);
        QTRY_COMPARE(m_panel->lineBreakCheckBox()->isChecked(), on);
        QCOMPARE(NoteSession().copyPreservesLineBreaks(), on);
    }
}

WISPEN_TEST_MAIN(tst_FormattingPanel)
#include "tst_formattingpanel.moc"
