#include "app/filedropfilter.h"
#include "editor/wispentextview.h"
#include "editordriver.h"
#include "testmain.h"

#include <QMimeData>
#include <QSignalSpy>

class tst_FileDropFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void droppedLocalFilesOpenAndAreNeverPasted_data();
    void droppedLocalFilesOpenAndAreNeverPasted();

private:
    // Drags data over the widget and drops it at its centre, as a person would.
    static void dragAndDrop(QWidget *target, QMimeData *data);
};

void tst_FileDropFilter::dragAndDrop(QWidget *target, QMimeData *data)
{
    const QPointF centre = target->rect().center();
    QDragEnterEvent enter(
        centre.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(
        centre.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(centre, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void tst_FileDropFilter::droppedLocalFilesOpenAndAreNeverPasted_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QList<QUrl>>("opened");
    QTest::addColumn<QString>("pasted");
    const QUrl a = QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"));
    const QUrl b = QUrl::fromLocalFile(QStringLiteral("/tmp/b.txt"));
    const QUrl web(QStringLiteral("https://example.org/c.txt"));
    QTest::newRow("two files") << QList<QUrl> { a, b } << QList<QUrl> { a, b } << QString();
    QTest::newRow("a file among web links")
        << QList<QUrl> { web, a } << QList<QUrl> { a } << QString();
    QTest::newRow("text with only a web link reaches the editor")
        << QList<QUrl> { web } << QList<QUrl>() << QStringLiteral("/tmp/a.txt");
}

void tst_FileDropFilter::droppedLocalFilesOpenAndAreNeverPasted()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QList<QUrl>, opened);
    QFETCH(QString, pasted);
    WispenTextView view;
    EditorDriver::show(&view);
    FileDropFilter filter;
    filter.watch(view.viewport());
    QSignalSpy spy(&filter, &FileDropFilter::filesDropped);
    // File managers offer the paths as text too: that text must not land in the note.
    QMimeData data;
    data.setUrls(urls);
    data.setText(QStringLiteral("/tmp/a.txt"));

    dragAndDrop(view.viewport(), &data);

    QCOMPARE(spy.count(), opened.isEmpty() ? 0 : 1);
    if (!opened.isEmpty())
        QCOMPARE(spy.first().first().value<QList<QUrl>>(), opened);
    if (pasted.isEmpty())
        QCOMPARE(view.plainText(), QString());
    else
        QVERIFY(view.plainText().contains(pasted));
}

WISPEN_TEST_MAIN(tst_FileDropFilter)
#include "tst_filedropfilter.moc"
