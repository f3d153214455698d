#include "editor/richtexteditor.h"
#include "editordriver.h"
#include "testmain.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>

using namespace EditorDriver;

class tst_Clipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void copyWithoutLineBreaksGivesOneLineOfPlainText_data();
    void copyWithoutLineBreaksGivesOneLineOfPlainText();
    void copyWithLineBreaksIsRichAndKeepsTheExactPlainText();
    void copyWithNothingSelectedLeavesTheClipboardAlone();
    void cutKeepsLineBreaksWhateverThePreference();
    void pasteInsertsPlainTextInTheTypingFormat_data();
    void pasteInsertsPlainTextInTheTypingFormat();
    void pasteWithoutTextDoesNothing();
    void droppedTextIsPlainButDroppedFilesAreLeftToTheWindow();

private:
    static void putOnClipboard(const QString &html, const QString &text);

    std::unique_ptr<RichTextEditor> m_editor;
    WispenTextView *m_view = nullptr;
};

void tst_Clipboard::init()
{
    // Copy reads the preference from the app's one session.
    NoteSession::shared().setCopyPreservesLineBreaks(true);
    m_editor = std::make_unique<RichTextEditor>(NoteSession::shared());
    m_view = m_editor->textView();
    show(m_editor.get());
    QGuiApplication::clipboard()->setText(u"before"_qs);
}

void tst_Clipboard::cleanup()
{
    m_editor.reset();
}

void tst_Clipboard::putOnClipboard(const QString &html, const QString &text)
{
    auto data = std::make_unique<QMimeData>();
    data->setHtml(html);
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data.release());
}

void tst_Clipboard::copyWithoutLineBreaksGivesOneLineOfPlainText_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("copied");

    QTest::newRow("CR LF is one space") << u"one\r\ntwo"_qs << u"one two"_qs;
    QTest::newRow("two LF are two spaces") << u"one\n\ntwo"_qs << u"one  two"_qs;
    QTest::newRow("a final break is a final space") << u"one\n"_qs << u"one "_qs;
    QTest::newRow("CR") << u"one\rtwo"_qs << u"one two"_qs;
    QTest::newRow("U+2028 and no-break space stay")
        << u"a\u2028b\u00a0c"_qs << u"a\u2028b\u00a0c"_qs;
    QTest::newRow("glyphs and tabs stay") << u"☐\tmilk\n☑ eggs"_qs << u"☐\tmilk ☑ eggs"_qs;
}

void tst_Clipboard::copyWithoutLineBreaksGivesOneLineOfPlainText()
{
    QFETCH(QString, note);
    QFETCH(QString, copied);
    NoteSession::shared().setCopyPreservesLineBreaks(false);
    setText(m_view, note);
    m_view->selectAll();

    QTest::keySequence(m_view, QKeySequence::Copy);

    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->formats(), QStringList { u"text/plain"_qs });
    QCOMPARE(data->text(), copied);
}

void tst_Clipboard::copyWithLineBreaksIsRichAndKeepsTheExactPlainText()
{
    setText(m_view, u"bold\u00a0one\u2028two\r\nthree"_qs);
    select(m_view, 0, 4);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    m_view->textCursor().mergeCharFormat(bold);
    m_view->selectAll();

    QTest::keySequence(m_view, QKeySequence::Copy);

    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), u"bold\u00a0one\u2028two\nthree"_qs);
    QVERIFY(data->hasHtml());
    QVERIFY(data->html().contains(u"font-weight"_qs));
}

void tst_Clipboard::copyWithNothingSelectedLeavesTheClipboardAlone()
{
    setText(m_view, u"text"_qs);
    for (const bool preserve : { true, false }) {
        NoteSession::shared().setCopyPreservesLineBreaks(preserve);
        QTest::keySequence(m_view, QKeySequence::Copy);
        m_view->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_qs);
    }
}

void tst_Clipboard::cutKeepsLineBreaksWhateverThePreference()
{
    NoteSession::shared().setCopyPreservesLineBreaks(false);
    setText(m_view, u"one\ntwo"_qs);
    m_view->selectAll();
    QTest::keySequence(m_view, QKeySequence::Cut);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"one\ntwo"_qs);
    QCOMPARE(m_view->plainText(), QString());
}

void tst_Clipboard::pasteInsertsPlainTextInTheTypingFormat_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("paste") << QKeySequence(QKeySequence::Paste);
    QTest::newRow("paste as plain text") << QKeySequence(u"Ctrl+Shift+V"_qs);
}

void tst_Clipboard::pasteInsertsPlainTextInTheTypingFormat()
{
    QFETCH(QKeySequence, keys);
    setText(m_view, u"a[sel]b"_qs);
    select(m_view, 1, 6);
    QTextCharFormat italic = m_view->currentCharFormat();
    italic.setFontItalic(true);
    m_view->setCurrentCharFormat(italic);
    putOnClipboard(u"<b style='font-size:30pt'>big</b>"_qs, u"big\r\nline"_qs);

    QTest::keySequence(m_view, keys);

    QCOMPARE(m_view->plainText(), u"abig\nlineb"_qs);
    QCOMPARE(NoteSession::shared().tabs().first().cachedText, u"abig\nlineb"_qs);
    for (int i = 1; i < 9; ++i) {
        if (i == 4)
            continue; // the paragraph break
        const QTextCharFormat format = m_view->characterFormatAt(i);
        QVERIFY(format.fontItalic());
        QVERIFY(format.fontWeight() != QFont::Bold);
        QCOMPARE(format.fontPointSize(), 11.0);
    }
    m_view->undo();
    QCOMPARE(m_view->plainText(), u"a[sel]b"_qs);
}

void tst_Clipboard::pasteWithoutTextDoesNothing()
{
    setText(m_view, u"text"_qs);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(image);
    QSignalSpy changes(m_view, &WispenTextView::textChanged);

    QTest::keySequence(m_view, QKeySequence::Paste);
    m_view->pasteAsPlainText();

    QCOMPARE(changes.size(), 0);
    QCOMPARE(m_view->plainText(), u"text"_qs);
}

void tst_Clipboard::droppedTextIsPlainButDroppedFilesAreLeftToTheWindow()
{
    setText(m_view, u"ab"_qs);
    const QPoint between = pointInCharacter(m_view, 1, 0.0);
    const auto drop = [this, between](QMimeData *data) {
        QDragEnterEvent enter(between, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(between, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &dropped);
        return true;
    };

    QMimeData files;
    files.setUrls({ QUrl::fromLocalFile(u"/tmp/note.txt"_qs) });
    files.setText(u"/tmp/note.txt"_qs);
    QVERIFY(!drop(&files));
    QCOMPARE(m_view->plainText(), u"ab"_qs);

    QMimeData rich;
    rich.setHtml(u"<i>x</i>"_qs);
    rich.setText(u"x"_qs);
    QVERIFY(drop(&rich));
    QCOMPARE(m_view->plainText(), u"axb"_qs);
    QVERIFY(!m_view->characterFormatAt(1).fontItalic());
}

WISPEN_TEST_MAIN(tst_Clipboard)
#include "tst_clipboard.moc"
