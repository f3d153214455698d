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
    void init()
    {
        m_editor.emplace();
        QGuiApplication::clipboard()->setText(u"before"_qs);
    }
    void cleanup() { m_editor.reset(); }

    void copyFollowsTheLineBreakPreferenceButCutKeepsThem_data();
    void copyFollowsTheLineBreakPreferenceButCutKeepsThem();
    void onlyTextComesInAndItComesInPlain_data();
    void onlyTextComesInAndItComesInPlain();

private:
    std::optional<ShownEditor> m_editor;
};

void tst_Clipboard::copyFollowsTheLineBreakPreferenceButCutKeepsThem_data()
{
    QTest::addColumn<bool>("keepBreaks");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<bool>("rich");
    const QKeySequence copy(QKeySequence::Copy), cut(QKeySequence::Cut);
    const QString note = u"[☐\tmilk\u00a0x\u2028y\n\n☑ eggs\n]"_qs;

    QTest::newRow("breaks kept: rich, exact plain text")
        << true << copy << note << u"☐\tmilk\u00a0x\u2028y\n\n☑ eggs\n"_qs << true;
    QTest::newRow("breaks dropped: one line of plain text")
        << false << copy << note << u"☐\tmilk\u00a0x\u2028y  ☑ eggs "_qs << false;
    QTest::newRow("nothing selected, breaks kept")
        << true << copy << u"te|xt"_qs << u"before"_qs << false;
    QTest::newRow("nothing selected, breaks dropped")
        << false << copy << u"te|xt"_qs << u"before"_qs << false;
    QTest::newRow("cut, breaks dropped")
        << false << cut << u"[one\ntwo]"_qs << u"one\ntwo"_qs << true;
}

void tst_Clipboard::copyFollowsTheLineBreakPreferenceButCutKeepsThem()
{
    QFETCH(bool, keepBreaks);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, note);
    QFETCH(QString, copied);
    QFETCH(bool, rich);
    // Copy reads the preference of the app's one session.
    NoteSession::shared().setCopyPreservesLineBreaks(keepBreaks);
    setMarked(m_editor->view, note);

    QTest::keySequence(m_editor->view, keys);

    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), copied);
    QCOMPARE(data->hasHtml(), rich);
    if (rich)
        QVERIFY(data->html().contains(copied.first(3)));
}

void tst_Clipboard::onlyTextComesInAndItComesInPlain_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("expected");

    QTest::newRow("pasted rich text") << u"Ctrl+V"_qs << u"rich"_qs << u"abig\nlineb"_qs;
    QTest::newRow("pasted as plain text") << u"Ctrl+Shift+V"_qs << u"rich"_qs << u"abig\nlineb"_qs;
    QTest::newRow("dropped rich text") << u"drop"_qs << u"rich"_qs << u"abig\nlineb"_qs;
    QTest::newRow("pasted image") << u"Ctrl+V"_qs << u"image"_qs << u"ab"_qs;
    QTest::newRow("image pasted as plain text") << u"Ctrl+Shift+V"_qs << u"image"_qs << u"ab"_qs;
    QTest::newRow("dropped local files") << u"drop"_qs << u"files"_qs << u"ab"_qs;
}

void tst_Clipboard::onlyTextComesInAndItComesInPlain()
{
    QFETCH(QString, how);
    QFETCH(QString, offered);
    QFETCH(QString, expected);
    WispenTextView *view = m_editor->view;
    m_editor->session.updateActiveTabText(u"ab"_qs);
    setMarked(view, u"a|b"_qs);
    auto data = std::make_unique<QMimeData>();
    if (offered == u"rich") {
        data->setHtml(u"<b style='font-size:30pt'>big</b>"_qs);
        data->setText(u"big\r\nline"_qs);
    } else if (offered == u"image") {
        data->setImageData(QImage(4, 4, QImage::Format_RGB32));
    } else {
        data->setUrls({ QUrl::fromLocalFile(u"/tmp/note.txt"_qs) });
        data->setText(u"/tmp/note.txt"_qs);
    }
    QSignalSpy changes(view, &WispenTextView::textChanged);

    if (how == u"drop") {
        const QPoint between = pointInCharacter(view, 1, 0.0);
        QDragEnterEvent enter(between, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QDropEvent drop(between, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        if (enter.isAccepted())
            QApplication::sendEvent(view->viewport(), &drop);
    } else {
        QGuiApplication::clipboard()->setMimeData(data.release());
        QTest::keySequence(view, QKeySequence(how));
    }

    QCOMPARE(view->plainText(), expected);
    QCOMPARE(m_editor->session.activeTabPlainText(), expected);
    QCOMPARE(changes.isEmpty(), expected == u"ab");
    QCOMPARE(characterFormats(view), QStringList(expected.size(), u"-"_qs).join(u' '));
}

WISPEN_TEST_MAIN(tst_Clipboard)
#include "tst_clipboard.moc"
