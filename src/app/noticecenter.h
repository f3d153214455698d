#pragma once

#include "autosave/savenotice.h"

#include <QList>
#include <QObject>

class NoticeBar;

// Where the app's notices go: onto the window's notice bar, each once. While the app quits the
// window may never paint again, so from then on each notice is also kept in the settings and
// shown at the next start.
class NoticeCenter : public QObject
{
    Q_OBJECT

public:
    explicit NoticeCenter(NoticeBar &bar, QObject *parent = nullptr);

    void post(const SaveNotice &notice);
    void postAll(const QList<SaveNotice> &notices);

    // The app is quitting: later notices are kept for the next start as well.
    void keepForNextStart() { m_keepForNextStart = true; }
    // Shows what an earlier run could not, and forgets it.
    void showPending();

private:
    NoticeBar &m_bar;
    bool m_keepForNextStart = false;
};
