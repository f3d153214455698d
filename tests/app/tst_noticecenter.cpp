#include "app/noticecenter.h"
#include "testmain.h"
#include "ui/noticebar.h"

#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>

// Notices reach the bar one at a time, each once; those raised while the app quits wait in the
// settings for the next start.
class tst_NoticeCenter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noticesQueueOnTheBarAndOpenTheirFolder();
    void noticesRaisedWhileQuittingAreShownAtTheNextStartOnly();
};

void tst_NoticeCenter::noticesQueueOnTheBarAndOpenTheirFolder()
{
    NoticeBar bar;
    NoticeCenter center(bar);
    QSignalSpy opened(&bar, &NoticeBar::folderRequested);
    QVERIFY(bar.isHidden());

    center.postAll({ { u"first"_qs, u"/tmp/a"_qs }, { u"second"_qs, QString() } });
    QVERIFY(!bar.isHidden());
    QCOMPARE(bar.text(), u"first"_qs);
    QCOMPARE(bar.waiting(), 2);
    bar.openFolderButton()->click();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().first().toString(), u"/tmp/a"_qs);

    bar.dismissButton()->click();
    QCOMPARE(bar.text(), u"second"_qs);
    QVERIFY(bar.openFolderButton()->isHidden()); // no folder to open
    bar.dismissButton()->click();
    QVERIFY(bar.isHidden());
    QCOMPARE(bar.waiting(), 0);
    QVERIFY(!QSettings().contains(u"pendingNotices"_qs));
}

void tst_NoticeCenter::noticesRaisedWhileQuittingAreShownAtTheNextStartOnly()
{
    {
        NoticeBar bar;
        NoticeCenter quitting(bar);
        quitting.post({ u"before the quit"_qs, QString() });
        quitting.keepForNextStart();
        quitting.post({ u"during the final save"_qs, u"/tmp/r"_qs });
    }
    NoticeBar bar;
    NoticeCenter next(bar);
    next.showPending();
    QCOMPARE(bar.text(), u"during the final save"_qs);
    QCOMPARE(bar.folder(), u"/tmp/r"_qs);
    QCOMPARE(bar.waiting(), 1);

    NoticeBar third;
    NoticeCenter afterThat(third);
    afterThat.showPending();
    QVERIFY(third.isHidden()); // shown once
}

WISPEN_TEST_MAIN(tst_NoticeCenter)
#include "tst_noticecenter.moc"
