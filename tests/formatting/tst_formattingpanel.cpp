#include "editor/richtexteditor.h"
#include "editor/wispentextview.h"
#include "formatting/formattingpanel.h"
#include "formatting/infopopover.h"
#include "formatting/linebreakcheckbox.h"
#include "session/notesession.h"
#include "testmain.h"
#include "ui/apppreferences.h"
#include "ui/symbolbutton.h"
#include "ui/textlabel.h"

#include <QHBoxLayout>
#include <QSettings>
#include <QSignalSpy>
#include <memory>

// The panel beside a real editor, as the window holds it.
class tst_FormattingPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void withoutAnEditorTheButtonsChangeNothing_data();
    void withoutAnEditorTheButtonsChangeNothing();
    void theSizeLabelShowsTheIntegerPart_data();
    void theSizeLabelShowsTheIntegerPart();
    void theAppearanceButtonShowsTheNextAppearanceAndPersistsIt();
    void theInfoButtonOpensAndClosesThePopover();
    void theCheckBoxTogglesAndPersistsTheCopyPreference();
    void aFormattingClickLightsItsButtonAtOnceAndRefocusesTheEditor_data();
    void aFormattingClickLightsItsButtonAtOnceAndRefocusesTheEditor();
    void theSizeLabelFollowsPlusAndMinusAtOnce();
    void theHighlightsFollowTheCaret();

private:
    void buildWithEditor();
    SymbolButton *button(FormattingCommand command) const { return m_panel->button(command); }

    std::unique_ptr<NoteSession> m_session;
    std::unique_ptr<QWidget> m_window;
    FormattingPanel *m_panel = nullptr;
    RichTextEditor *m_editor = nullptr;
};

void tst_FormattingPanel::init()
{
    QSettings().clear();
    m_session = std::make_unique<NoteSession>();
    m_window = std::make_unique<QWidget>();
    auto *row = new QHBoxLayout(m_window.get());
    m_panel = new FormattingPanel(*m_session, nullptr, m_window.get());
    row->addWidget(m_panel);
    m_window->resize(600, 520);
}

void tst_FormattingPanel::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_editor = nullptr;
}

void tst_FormattingPanel::buildWithEditor()
{
    delete m_panel;
    m_editor = new RichTextEditor(*m_session, m_window.get());
    m_panel = new FormattingPanel(*m_session, m_editor->textView(), m_window.get());
    m_window->layout()->addWidget(m_panel);
    m_window->layout()->addWidget(m_editor);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void tst_FormattingPanel::withoutAnEditorTheButtonsChangeNothing_data()
{
    QTest::addColumn<FormattingCommand>("command");

    QTest::newRow("bold") << FormattingCommand::Bold;
    QTest::newRow("italic") << FormattingCommand::Italic;
    QTest::newRow("underline") << FormattingCommand::Underline;
    QTest::newRow("plus") << FormattingCommand::Bigger;
    QTest::newRow("minus") << FormattingCommand::Smaller;
    QTest::newRow("align left") << FormattingCommand::AlignLeft;
    QTest::newRow("center") << FormattingCommand::AlignCenter;
    QTest::newRow("align right") << FormattingCommand::AlignRight;
    QTest::newRow("checklist") << FormattingCommand::Checklist;
}

void tst_FormattingPanel::withoutAnEditorTheButtonsChangeNothing()
{
    QFETCH(FormattingCommand, command);
    m_window->show();
    QSignalSpy sessionChanges(m_session.get(), &NoteSession::objectWillChange);
    QTest::mouseClick(button(command), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(sessionChanges.count(), 0);
    QVERIFY(button(FormattingCommand::AlignLeft)->isActive());
    for (const auto other : { FormattingCommand::Bold, FormattingCommand::Italic,
             FormattingCommand::Underline, FormattingCommand::AlignCenter,
             FormattingCommand::AlignRight, FormattingCommand::Checklist })
        QVERIFY(!button(other)->isActive());
    QCOMPARE(m_panel->fontSizeLabel()->text(), u"11"_qs);
}

void tst_FormattingPanel::theSizeLabelShowsTheIntegerPart_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("shown");

    QTest::newRow("half a point") << 12.5 << u"12"_qs;
    QTest::newRow("just under") << 95.99 << u"95"_qs;
}

void tst_FormattingPanel::theSizeLabelShowsTheIntegerPart()
{
    QFETCH(double, size);
    QFETCH(QString, shown);
    QCOMPARE(FormattingPanel::fontSizeText(size), shown);
}

void tst_FormattingPanel::theAppearanceButtonShowsTheNextAppearanceAndPersistsIt()
{
    m_window->show();
    QVERIFY(!QSettings().contains(u"isDarkMode"_qs));
    QTest::mouseClick(m_panel->appearanceButton(), Qt::LeftButton);
    QCOMPARE(QSettings().value(u"isDarkMode"_qs).toBool(), false);
    QCOMPARE(m_panel->appearanceButton()->symbol(), u"moon.fill"_qs);
    QVERIFY(!m_panel->appearanceButton()->isActive());
    QTest::mouseClick(m_panel->appearanceButton(), Qt::LeftButton);
    QCOMPARE(QSettings().value(u"isDarkMode"_qs).toBool(), true);
    QCOMPARE(m_panel->appearanceButton()->symbol(), u"sun.max.fill"_qs);
}

void tst_FormattingPanel::theInfoButtonOpensAndClosesThePopover()
{
    m_window->resize(100, 520);
    m_window->move(400, 20); // room on the left for the popover
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTest::mouseClick(m_panel->infoButton(), Qt::LeftButton);
    QVERIFY(m_panel->isShowingInfo());
    QTRY_VERIFY(m_panel->infoPopover()->isVisible());
    const QStringList lines = [this] {
        QStringList texts;
        for (const TextLabel *line : m_panel->infoPopover()->findChildren<TextLabel *>())
            texts << line->text();
        return texts;
    }();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), u"Wispen."_qs);
    QCOMPARE(lines.at(1), u"The Wispen contributors"_qs);
    QCOMPARE(lines.at(2), u"Wispen"_qs);
    // The popover opens beside the button, over the editor's side.
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

void tst_FormattingPanel::theCheckBoxTogglesAndPersistsTheCopyPreference()
{
    m_window->show();
    QTest::mouseClick(m_panel->lineBreakCheckBox(), Qt::LeftButton);
    QVERIFY(!m_session->copyPreservesLineBreaks());
    QCOMPARE(QSettings().value(u"copyPreservesLineBreaks"_qs).toBool(), false);
    QTRY_VERIFY(!m_panel->lineBreakCheckBox()->isChecked());
    QTest::mouseClick(m_panel->lineBreakCheckBox(), Qt::LeftButton);
    QVERIFY(m_session->copyPreservesLineBreaks());
    QTRY_VERIFY(m_panel->lineBreakCheckBox()->isChecked());
}

void tst_FormattingPanel::aFormattingClickLightsItsButtonAtOnceAndRefocusesTheEditor_data()
{
    QTest::addColumn<FormattingCommand>("command");
    QTest::addColumn<FormattingCommand>("unlit");

    QTest::newRow("bold") << FormattingCommand::Bold << FormattingCommand::Italic;
    QTest::newRow("italic") << FormattingCommand::Italic << FormattingCommand::Bold;
    QTest::newRow("underline") << FormattingCommand::Underline << FormattingCommand::Bold;
    QTest::newRow("center") << FormattingCommand::AlignCenter << FormattingCommand::AlignLeft;
    QTest::newRow("align right") << FormattingCommand::AlignRight << FormattingCommand::AlignLeft;
    QTest::newRow("checklist") << FormattingCommand::Checklist << FormattingCommand::Bold;
}

void tst_FormattingPanel::aFormattingClickLightsItsButtonAtOnceAndRefocusesTheEditor()
{
    QFETCH(FormattingCommand, command);
    QFETCH(FormattingCommand, unlit);
    buildWithEditor();
    QTest::keyClicks(m_editor->textView(), u"plain text"_qs);
    QTRY_VERIFY(!button(command)->isActive());
    QTest::mouseClick(button(command), Qt::LeftButton);
    // Lit by the click's own refresh of the formatting state, on the next turn of the panel.
    QCoreApplication::processEvents();
    QVERIFY(button(command)->isActive());
    QVERIFY(!button(unlit)->isActive());
    QVERIFY(m_editor->textView()->hasFocus());
}

void tst_FormattingPanel::theSizeLabelFollowsPlusAndMinusAtOnce()
{
    buildWithEditor();
    QTest::mouseClick(button(FormattingCommand::Bigger), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(m_panel->fontSizeLabel()->text(), u"12"_qs);
    QVERIFY(!button(FormattingCommand::Bigger)->isActive());
    QTest::mouseClick(button(FormattingCommand::Smaller), Qt::LeftButton);
    QTest::mouseClick(button(FormattingCommand::Smaller), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(m_panel->fontSizeLabel()->text(), u"10"_qs);
    QVERIFY(!button(FormattingCommand::Smaller)->isActive());
}

void tst_FormattingPanel::theHighlightsFollowTheCaret()
{
    buildWithEditor();
    WispenTextView *view = m_editor->textView();
    QTest::keyClicks(view, u"plain "_qs);
    QTest::mouseClick(button(FormattingCommand::Bold), Qt::LeftButton);
    QTest::keyClicks(view, u"bold"_qs);
    QTRY_VERIFY(button(FormattingCommand::Bold)->isActive());
    QTest::keyClick(view, Qt::Key_Home);
    QTest::keyClick(view, Qt::Key_Right);
    QTRY_VERIFY(!button(FormattingCommand::Bold)->isActive());
}

WISPEN_TEST_MAIN(tst_FormattingPanel)
#include "tst_formattingpanel.moc"
